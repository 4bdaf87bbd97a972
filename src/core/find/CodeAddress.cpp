// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeAddress.h"

#include "AddinHeader.h"
#include "CodeListing.h"

static_assert(CodeAddress::kFirstCodeAddress == CodeListing::kDefaultBase,
              "go-to, the comparison and the code listing count code addresses alike");

namespace CodeAddress {

namespace {

bool hasCode(const AddinHeader& header) {
    return header.complete() && header.isAddin();
}

} // namespace

std::optional<quint16> ofOffset(int offset, const AddinHeader& header, int imageSize) {
    if (!hasCode(header) || offset < header.headSize || offset >= imageSize) {
        return std::nullopt;
    }
    const int address = kFirstCodeAddress + offset - header.headSize;
    return address <= 0xFFFF ? std::optional<quint16>(quint16(address)) : std::nullopt;
}

std::optional<int> toOffset(int address, const AddinHeader& header) {
    if (!hasCode(header)) {
        return std::nullopt;
    }
    return header.headSize + address - kFirstCodeAddress;
}

} // namespace CodeAddress

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <optional>

struct AddinHeader;

// Where a byte of an add-in's code runs: the first byte after the header at $8000, as the
// code listing counts. Only an add-in with a complete header has code.
namespace CodeAddress {

constexpr int kFirstCodeAddress = 0x8000;

// The address of the byte at `offset` of an image of `imageSize` bytes; none when the byte
// lies in the header or outside the image, or the header is not a complete add-in header.
std::optional<quint16> ofOffset(int offset, const AddinHeader& header, int imageSize);

// The file offset `address` runs from, whether or not the image holds it; none when the
// header is not a complete add-in header.
std::optional<int> toOffset(int address, const AddinHeader& header);

} // namespace CodeAddress

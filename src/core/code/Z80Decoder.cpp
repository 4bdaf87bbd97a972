// SPDX-License-Identifier: GPL-3.0-or-later
#include "Z80Decoder.h"

#include "Z80Opcodes.h"

#include <z80ex/z80ex_dasm.h>

#include <algorithm>

namespace {

// The bytes z80ex may read for one instruction: those of the range from the instruction on,
// 0 past the range's end. `furthest` counts the bytes it looked at.
struct DecodeWindow {
    QByteArrayView image;
    int offset = 0;
    int end = 0;
    quint16 address = 0;
    int furthest = 0;
};

Z80EX_BYTE readByte(Z80EX_WORD address, void* data) {
    auto* window = static_cast<DecodeWindow*>(data);
    const int distance = quint16(address - window->address);
    window->furthest = std::max(window->furthest, distance + 1);
    const int offset = window->offset + distance;
    return offset < window->end ? Z80EX_BYTE(window->image[offset]) : Z80EX_BYTE(0);
}

} // namespace

Z80Decoder::Step Z80Decoder::at(QByteArrayView image, int offset, int end, quint16 address) {
    DecodeWindow window{image, offset, end, address, 0};
    int tStates = 0;
    int tStatesBranching = 0;
    const int decoded =
        z80ex_dasm(m_raw, kRawTextSize, 0, &tStates, &tStatesBranching, readByte, address, &window);
    // z80ex counts DD CB and FD CB instructions one byte too long; no instruction is longer
    // than the bytes read to decode it.
    int length = std::max(1, std::min(decoded, window.furthest));
    const std::string_view text(m_raw);
    const quint8 lead = quint8(image[offset]);
    // A DD or FD prefix before an instruction without IX or IY changes nothing: it is a byte of
    // its own, and the instruction after it starts at the next byte.
    const bool idlePrefix = (lead == Z80Opcodes::kIxPrefix || lead == Z80Opcodes::kIyPrefix) &&
                            text.find("IX") == std::string_view::npos &&
                            text.find("IY") == std::string_view::npos;
    if (idlePrefix) {
        length = 1;
    }
    const bool cutOff = offset + length > end;
    // z80ex marks an opcode that does nothing ("NOP*") with a star.
    return {std::min(length, end - offset), idlePrefix || cutOff || text.ends_with('*'), text};
}

std::optional<quint16> Z80Decoder::absoluteTarget(QByteArrayView bytes) {
    if (bytes.size() != 3) {
        return std::nullopt;
    }
    if (Z80Opcodes::isAbsoluteJump(quint8(bytes[0]))) {
        return quint16(quint8(bytes[1]) | quint8(bytes[2]) << 8);
    }
    return std::nullopt;
}

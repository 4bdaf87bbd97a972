// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>
#include <string_view>

// One Z80 instruction as z80ex's disassembler reads it from a range of an image, without the
// text the listing makes of it: for the listing and for the checks that need only where the
// instructions lie and where they jump.
class Z80Decoder {
public:
    struct Step {
        int length = 1;    // its bytes, at least 1; cut at the range's end
        bool data = false; // no instruction: an idle prefix, cut off, an opcode that does nothing
        std::string_view text; // z80ex's own text, upper case; valid until the next decode
    };

    // The instruction at file offset `offset` of `image` that runs at `address`, reading no
    // byte at or after `end`.
    Step at(QByteArrayView image, int offset, int end, quint16 address);

    // Where a JP or CALL with an immediate address (conditional or not) leads; none for any
    // other instruction, given as its bytes.
    static std::optional<quint16> absoluteTarget(QByteArrayView bytes);

private:
    static constexpr int kRawTextSize = 64; // z80ex's longest, "LD B,RES 0,(IX+#FFFFFFFB)", is 25
    char m_raw[kRawTextSize] = {};
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <algorithm>
#include <array>

// The Z80 opcodes that Mobrin reads by their values rather than through z80ex's text.
namespace Z80Opcodes {

// The bytes that lead into another table: IX and IY instructions, the bit instructions, and
// the extended ones.
constexpr quint8 kIxPrefix = 0xDD;
constexpr quint8 kIyPrefix = 0xFD;
constexpr quint8 kBitPrefix = 0xCB;
constexpr quint8 kExtendedPrefix = 0xED;

// JP nn (C3) and CALL nn (CD), or one of their conditional forms (C2 and C4 with the condition
// in bits 3 to 5): an instruction with an immediate target address.
constexpr bool isAbsoluteJump(quint8 opcode) {
    const int unconditioned = opcode & ~0x38;
    return opcode == 0xC3 || opcode == 0xCD || unconditioned == 0xC2 || unconditioned == 0xC4;
}

// DJNZ (10), JR (18) or a conditional JR (20 with the condition in bits 3 and 4): an
// instruction whose target is a displacement from the next one.
constexpr bool isRelativeJump(quint8 opcode) {
    return opcode == 0x10 || opcode == 0x18 || (opcode & ~0x18) == 0x20;
}

// The ED opcodes that copy another instruction (NEG, RETN, RETI, IM, LD (nn),HL and
// LD HL,(nn)), which assemblers write as the original, and IN F,(C) and OUT (C),0, which not
// every assembler knows.
constexpr std::array<quint8, 22> kExtendedCopies = {
    0x4C, 0x4E, 0x54, 0x55, 0x5C, 0x5D, 0x63, 0x64, 0x65, 0x66, 0x6B,
    0x6C, 0x6D, 0x6E, 0x70, 0x71, 0x74, 0x75, 0x76, 0x7C, 0x7D, 0x7E,
};

constexpr bool isExtendedCopy(quint8 opcode) {
    return std::find(kExtendedCopies.begin(), kExtendedCopies.end(), opcode) !=
           kExtendedCopies.end();
}

} // namespace Z80Opcodes

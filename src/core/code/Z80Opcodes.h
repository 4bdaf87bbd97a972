// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

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

} // namespace Z80Opcodes

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Z80Opcodes.h"

#include <QtGlobal>

// How an instruction may move the program counter, read from its first two bytes: what the
// machine needs to say where code went when it left the add-in, to step over a call and out
// of a routine, and to catch `rst $10` and `halt` before they run. A DD or FD prefix before an
// unprefixed opcode changes none of this (z80ex runs the opcode as it is), except before E9,
// which jumps to IX or IY; before another prefix it is an idle prefix of its own.
namespace InstructionFlow {

enum class Flow : quint8 {
    Straight,    // on to the next instruction
    Jump,        // JP, JR, DJNZ, JP (HL), JP (IX), JP (IY), conditional or not
    Call,        // CALL, conditional or not
    Restart,     // RST n: a call to n
    Return,      // RET, RET cc, RETI, RETN
    BlockRepeat, // LDIR, CPIR, INIR, OTIR and their decrementing forms: runs again until done
    Halt,
};

struct Shape {
    Flow flow = Flow::Straight;
    int length = 1;     // where a Call, Restart or BlockRepeat comes back to; 1 for the others
    quint8 restart = 0; // the address RST calls
};

constexpr Shape unprefixed(quint8 opcode, quint8 next) {
    if (opcode == 0x76) {
        return {Flow::Halt};
    }
    if (opcode == 0xC9 || (opcode & 0xC7) == 0xC0) {
        return {Flow::Return};
    }
    if (opcode == 0xCD || (opcode & 0xC7) == 0xC4) {
        return {Flow::Call, 3};
    }
    if ((opcode & 0xC7) == 0xC7) {
        return {Flow::Restart, 1, quint8(opcode & 0x38)};
    }
    if (opcode == 0xC3 || (opcode & 0xC7) == 0xC2 || opcode == 0xE9 ||
        Z80Opcodes::isRelativeJump(opcode)) {
        return {Flow::Jump};
    }
    if (opcode == Z80Opcodes::kExtendedPrefix) {
        if ((next & 0xC7) == 0x45) {
            return {Flow::Return};
        }
        if ((next & 0xF4) == 0xB0) {
            return {Flow::BlockRepeat, 2};
        }
    }
    return {};
}

constexpr bool isIndexPrefix(quint8 byte) {
    return byte == Z80Opcodes::kIxPrefix || byte == Z80Opcodes::kIyPrefix;
}

// The shape of the instruction whose bytes start `first`, `second`.
constexpr Shape of(quint8 first, quint8 second) {
    if (!isIndexPrefix(first)) {
        return unprefixed(first, second);
    }
    if (second == 0xE9) {
        return {Flow::Jump};
    }
    if (isIndexPrefix(second) || second == Z80Opcodes::kExtendedPrefix ||
        second == Z80Opcodes::kBitPrefix) {
        return {};
    }
    Shape shape = unprefixed(second, 0);
    ++shape.length;
    return shape;
}

} // namespace InstructionFlow

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// One instruction as the code map follows it, without text: its length, whether it is an
// instruction at all, where control goes after it and which address it names. The lengths and
// the `valid` flag are z80ex's (Z80Decoder's), taken once into tables, so that the map and the
// listing cut the code at the same bytes; decoding through the tables is many times faster.
struct Z80Step {
    enum class Flow : quint8 {
        Next,              // on to the next instruction
        Jump,              // JP nn, JR: to `operand` only
        Branch,            // a conditional JP or JR, DJNZ: to `operand` or on
        Call,              // CALL nn: to `operand`, then on when it returns
        ConditionalCall,   // to `operand` and back, or on
        Return,            // RET, RETI, RETN
        ConditionalReturn, // back, or on
        IndirectJump,      // JP (HL), JP (IX), JP (IY): to an address the code does not show
        Restart,           // RST: to `operand`, a page-zero address, then on
    };
    // How an instruction that is no jump uses `operand`.
    enum class Access : quint8 {
        None,
        Constant, // LD BC/DE/HL/IX/IY,nn: perhaps an address
        Read,     // LD A,(nn), LD HL,(nn), ...
        Write,    // LD (nn),A, LD (nn),HL, ...
    };

    int length = 1;
    bool valid = false;  // an instruction, not Z80Decoder's `data` (nor cut off by the end)
    bool likely = false; // valid, and of the kind compilers write: no NOP, HALT, LD B,B, no
                         // undocumented opcode, no RST but $10
    Flow flow = Flow::Next;
    Access access = Access::None;
    bool word = false;   // a Read or Write of 16 bits
    quint16 operand = 0; // the target of a jump, call or restart; the constant; the address

    bool endsFlow() const {
        return flow == Flow::Jump || flow == Flow::Return || flow == Flow::IndirectJump;
    }
    bool hasTarget() const {
        return flow == Flow::Jump || flow == Flow::Branch || flow == Flow::Call ||
               flow == Flow::ConditionalCall || flow == Flow::Restart;
    }

    // The instruction at file offset `offset` of `image` that runs at `address`, reading no
    // byte at or after `end`.
    static Z80Step at(QByteArrayView image, int offset, int end, quint16 address) {
        Z80Step step;
        step.decode(image, offset, end, address);
        return step;
    }
    // The same into this step, as a table of them holds it.
    void decode(QByteArrayView image, int offset, int end, quint16 address);
};

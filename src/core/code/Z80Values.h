// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <array>

// What a few straight-line Z80 instructions leave in the registers, on the stack and in the
// system-call area ($C000 to $C00F), as far as the instructions show it: constants, and what a
// routine was given by its caller (a register, a word on the stack). Enough to read the number
// an add-in stores at $C000 before `rst $10`, however it copies it there.
class Z80Values {
public:
    // A byte or a word: where it comes from.
    struct Value {
        enum Kind : quint8 {
            Unknown,
            Constant,     // `number` is the value
            Argument,     // the caller's stack word `number` (0: the one it pushed last)
            Register,     // the caller's register pair `number` (a Pair)
            StackAddress, // the address of the stack at `number` bytes from the entry's SP
        };
        Kind kind = Unknown;
        int number = 0;
        quint8 half = 0; // of a byte of a word: 0 the low byte, 1 the high byte

        bool operator==(const Value&) const = default;
    };
    enum Pair { BC, DE, HL, AF, IX, IY };

    // Nothing known: the state at the start of a run of instructions in the middle of a routine.
    Z80Values();
    // A routine's entry: the registers and the stack words its caller left.
    static Z80Values atEntry();

    // Follows one instruction, given as its bytes.
    void step(QByteArrayView instruction);

    Value pair(Pair pair) const;
    // The word the stack holds `distance` bytes above the stack pointer.
    Value stackWord(int distance) const;
    // The word at `address` of the system-call area.
    Value memoryWord(quint16 address) const;

private:
    // Registers in the Z80's own numbering (B C D E H L, 6 unused, A), then IXH IXL IYH IYL.
    static constexpr int kRegisters = 12;
    static constexpr int kStackBytes = 256; // from 128 below the entry's stack pointer
    static constexpr int kMemoryBytes = 16;

    using Byte = Value;
    void setPair(Pair pair, Value word);
    Byte load(Value address, int displacement) const;
    void store(Value address, int displacement, Byte byte);
    void push(Value word);
    Value pop();
    void copy(int count);
    void forgetRegisters();
    // After a load of SP nothing on the stack is known.
    void loseStack();
    void stepIndexed(Pair index, QByteArrayView bytes);
    void stepExtended(QByteArrayView bytes);
    // LD r,r' and their forms with (HL) or (IX+d): register `from` or the byte `pointer` plus
    // `displacement` points at (for register number 6) into `to`.
    void stepLoad(int to, int from, int displacement, Pair pointer);
    // A byte into register `to`, or where HL points for register number 6.
    void put(int to, Byte byte);

    std::array<Byte, kRegisters> m_registers{};
    std::array<Byte, kStackBytes> m_stack{};
    std::array<Byte, kMemoryBytes> m_memory{};
    int m_sp = 0; // from the entry's stack pointer
};

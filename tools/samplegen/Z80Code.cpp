// SPDX-License-Identifier: GPL-3.0-or-later
#include "Z80Code.h"

#include <array>

namespace {

enum class Operand { None, Byte, Word, Relative, Address };

struct Instruction {
    std::array<quint8, 2> opcode; // a second opcode byte of 0 means a one-byte opcode
    Operand operand;
};

// A plain mix of loads, arithmetic, stack, jumps, calls and port access.
constexpr std::array<Instruction, 36> kInstructions = {{
    {{0x3E, 0}, Operand::Byte},     // LD A,n
    {{0x06, 0}, Operand::Byte},     // LD B,n
    {{0x0E, 0}, Operand::Byte},     // LD C,n
    {{0x21, 0}, Operand::Address},  // LD HL,nn
    {{0x11, 0}, Operand::Address},  // LD DE,nn
    {{0x01, 0}, Operand::Word},     // LD BC,nn
    {{0xCD, 0}, Operand::Address},  // CALL nn
    {{0xC3, 0}, Operand::Address},  // JP nn
    {{0x18, 0}, Operand::Relative}, // JR e
    {{0x20, 0}, Operand::Relative}, // JR NZ,e
    {{0x28, 0}, Operand::Relative}, // JR Z,e
    {{0x10, 0}, Operand::Relative}, // DJNZ e
    {{0x7E, 0}, Operand::None},     // LD A,(HL)
    {{0x77, 0}, Operand::None},     // LD (HL),A
    {{0x23, 0}, Operand::None},     // INC HL
    {{0x13, 0}, Operand::None},     // INC DE
    {{0x2B, 0}, Operand::None},     // DEC HL
    {{0x05, 0}, Operand::None},     // DEC B
    {{0x3C, 0}, Operand::None},     // INC A
    {{0xAF, 0}, Operand::None},     // XOR A
    {{0xB7, 0}, Operand::None},     // OR A
    {{0xFE, 0}, Operand::Byte},     // CP n
    {{0xE6, 0}, Operand::Byte},     // AND n
    {{0xC5, 0}, Operand::None},     // PUSH BC
    {{0xE5, 0}, Operand::None},     // PUSH HL
    {{0xC1, 0}, Operand::None},     // POP BC
    {{0xE1, 0}, Operand::None},     // POP HL
    {{0xC8, 0}, Operand::None},     // RET Z
    {{0xD3, 0}, Operand::Byte},     // OUT (n),A
    {{0xDB, 0}, Operand::Byte},     // IN A,(n)
    {{0xED, 0xB0}, Operand::None},  // LDIR
    {{0x32, 0}, Operand::Address},  // LD (nn),A
    {{0x3A, 0}, Operand::Address},  // LD A,(nn)
    {{0xEB, 0}, Operand::None},     // EX DE,HL
    {{0x47, 0}, Operand::None},     // LD B,A
    {{0x78, 0}, Operand::None},     // LD A,B
}};

constexpr quint8 kRet = 0xC9;
constexpr quint8 kNop = 0x00;

// xorshift32: the same sequence everywhere, unlike the standard library's distributions.
class Random {
public:
    explicit Random(quint32 seed) : m_state(seed != 0 ? seed : 0x9E3779B9u) {}
    quint32 next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    quint32 below(quint32 bound) { return next() % bound; }

private:
    quint32 m_state;
};

int operandSize(Operand operand) {
    switch (operand) {
    case Operand::None:
        return 0;
    case Operand::Byte:
    case Operand::Relative:
        return 1;
    case Operand::Word:
    case Operand::Address:
        return 2;
    }
    return 0;
}

int instructionSize(const Instruction& instruction) {
    return (instruction.opcode[1] != 0 ? 2 : 1) + operandSize(instruction.operand);
}

void appendWord(QByteArray& code, quint32 word) {
    code += char(word & 0xFF);
    code += char((word >> 8) & 0xFF);
}

} // namespace

namespace Z80Code {

QByteArray generate(int length, quint32 seed, quint16 loadAddress) {
    QByteArray code;
    if (length <= 0) {
        return code;
    }
    Random random(seed);
    code.reserve(length);
    int untilReturn = 12 + int(random.below(24));
    // One byte always stays free for the final RET.
    while (code.size() < length - 1) {
        const int room = length - 1 - int(code.size());
        if (untilReturn-- == 0) {
            code += char(kRet);
            untilReturn = 12 + int(random.below(24));
            continue;
        }
        const Instruction& instruction = kInstructions[random.below(kInstructions.size())];
        if (instructionSize(instruction) > room) {
            code += char(kNop);
            continue;
        }
        code += char(instruction.opcode[0]);
        if (instruction.opcode[1] != 0) {
            code += char(instruction.opcode[1]);
        }
        switch (instruction.operand) {
        case Operand::None:
            break;
        case Operand::Byte:
            code += char(random.below(256));
            break;
        case Operand::Relative:
            code += char(0xF0 + random.below(0x20)); // a short hop either way
            break;
        case Operand::Word:
            appendWord(code, random.next());
            break;
        case Operand::Address:
            appendWord(code, loadAddress + random.below(quint32(length)));
            break;
        }
    }
    code += char(kRet);
    return code;
}

} // namespace Z80Code

// SPDX-License-Identifier: GPL-3.0-or-later
#include "Z80Step.h"

#include "Z80Decoder.h"
#include "Z80Opcodes.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

using Flow = Z80Step::Flow;
using Access = Z80Step::Access;

struct Shape {
    quint8 length = 1;
    bool valid = false;
    bool likely = false;
};

// The opcode tables after each prefix: none, CB, ED, DD, FD, DD CB d, FD CB d.
enum Table { kMain, kBit, kExtended, kIx, kIy, kIxBit, kIyBit, kTables };
using Shapes = std::array<std::array<Shape, 256>, kTables>;

bool unlikelyMain(quint8 opcode) {
    // NOP, EX AF,AF', HALT, LD r,r of one register, EXX, and the restarts but RST $10.
    switch (opcode) {
    case 0x00:
    case 0x08:
    case 0x40:
    case 0x49:
    case 0x52:
    case 0x5B:
    case 0x64:
    case 0x6D:
    case 0x76:
    case 0x7F:
    case 0xD9:
        return true;
    default:
        return (opcode & 0xC7) == 0xC7 && opcode != 0xD7;
    }
}

const Shapes& shapes() {
    static const Shapes table = [] {
        Shapes built{};
        Z80Decoder decoder;
        const std::array<QByteArray, kTables> prefixes = {QByteArray(),
                                                          QByteArray("\xCB"),
                                                          QByteArray("\xED"),
                                                          QByteArray("\xDD"),
                                                          QByteArray("\xFD"),
                                                          QByteArray("\xDD\xCB\x00", 3),
                                                          QByteArray("\xFD\xCB\x00", 3)};
        for (int table = 0; table < kTables; ++table) {
            for (int opcode = 0; opcode < 256; ++opcode) {
                const QByteArray bytes = prefixes.at(table) + char(opcode) + QByteArray(4, '\0');
                const Z80Decoder::Step step = decoder.at(bytes, 0, int(bytes.size()), 0);
                const std::string_view text = step.text;
                const bool undocumented =
                    text.find("IXH") != text.npos || text.find("IXL") != text.npos ||
                    text.find("IYH") != text.npos || text.find("IYL") != text.npos ||
                    text.find("SLL") != text.npos;
                bool unlikely = undocumented;
                if (table == kMain) {
                    unlikely = unlikelyMain(quint8(opcode));
                } else if (table == kExtended) {
                    unlikely = Z80Opcodes::isExtendedCopy(quint8(opcode));
                } else if (table == kIxBit || table == kIyBit) {
                    unlikely = (opcode & 0x07) != 0x06;
                }
                built[table][opcode] = {quint8(step.length), !step.data, !step.data && !unlikely};
            }
        }
        return built;
    }();
    return table;
}

// Where a conditional or unconditional jump, call or return of the unprefixed table leads.
void classifyMain(Z80Step& step, quint8 opcode, quint16 word, quint8 displacement,
                  quint16 address) {
    const int unconditioned = opcode & ~0x38;
    if (Z80Opcodes::isRelativeJump(opcode)) {
        step.flow = opcode == 0x18 ? Flow::Jump : Flow::Branch;
        step.operand = quint16(address + 2 + qint8(displacement));
    } else if (opcode == 0xC3 || unconditioned == 0xC2) {
        step.flow = opcode == 0xC3 ? Flow::Jump : Flow::Branch;
        step.operand = word;
    } else if (opcode == 0xCD || unconditioned == 0xC4) {
        step.flow = opcode == 0xCD ? Flow::Call : Flow::ConditionalCall;
        step.operand = word;
    } else if (opcode == 0xC9) {
        step.flow = Flow::Return;
    } else if (unconditioned == 0xC0) {
        step.flow = Flow::ConditionalReturn;
    } else if (opcode == 0xE9) {
        step.flow = Flow::IndirectJump;
    } else if (unconditioned == 0xC7) {
        step.flow = Flow::Restart;
        step.operand = opcode & 0x38;
    } else if (opcode == 0x01 || opcode == 0x11 || opcode == 0x21) {
        step.access = Access::Constant;
        step.operand = word;
    } else if (opcode == 0x22 || opcode == 0x2A || opcode == 0x32 || opcode == 0x3A) {
        step.access = (opcode & 0x08) != 0 ? Access::Read : Access::Write;
        step.word = opcode < 0x30;
        step.operand = word;
    }
}

} // namespace

void Z80Step::decode(QByteArrayView image, int offset, int end, quint16 address) {
    // Its bytes, 0 past the end as Z80Decoder reads them.
    std::array<quint8, 4> bytes{};
    const int available = std::min(int(bytes.size()), end - offset);
    for (int i = 0; i < available; ++i) {
        bytes[size_t(i)] = quint8(image[offset + i]);
    }
    const auto byte = [&bytes, offset](int at) { return bytes[size_t(at - offset)]; };
    const quint8 lead = bytes[0];
    const quint8 second = bytes[1];
    const Shapes& table = shapes();
    const bool indexed = lead == Z80Opcodes::kIxPrefix || lead == Z80Opcodes::kIyPrefix;
    Shape shape;
    if (lead == Z80Opcodes::kBitPrefix) {
        shape = table[kBit][second];
    } else if (lead == Z80Opcodes::kExtendedPrefix) {
        shape = table[kExtended][second];
    } else if (indexed && second == Z80Opcodes::kBitPrefix) {
        shape = table[lead == Z80Opcodes::kIxPrefix ? kIxBit : kIyBit][byte(offset + 3)];
    } else if (indexed) {
        shape = table[lead == Z80Opcodes::kIxPrefix ? kIx : kIy][second];
    } else {
        shape = table[kMain][lead];
    }
    *this = Z80Step{};
    Z80Step& step = *this;
    step.length = shape.length;
    step.valid = shape.valid && offset + shape.length <= end;
    step.likely = shape.likely && step.valid;
    if (!step.valid) {
        step.length = std::min<int>(shape.length, end - offset);
        return;
    }
    if (lead == Z80Opcodes::kExtendedPrefix) {
        const int low = second & 0x0F;
        const quint16 word = quint16(byte(offset + 2) | byte(offset + 3) << 8);
        if (second >= 0x40 && second < 0x80 && (low == 0x03 || low == 0x0B)) {
            step.access = low == 0x0B ? Access::Read : Access::Write;
            step.word = true;
            step.operand = word;
        } else if (second >= 0x40 && second < 0x80 && (low == 0x05 || low == 0x0D)) {
            step.flow = Flow::Return;
        }
    } else if (indexed && second != Z80Opcodes::kBitPrefix) {
        const quint16 word = quint16(byte(offset + 2) | byte(offset + 3) << 8);
        if (second == 0x21) {
            step.access = Access::Constant;
            step.operand = word;
        } else if (second == 0x22 || second == 0x2A) {
            step.access = second == 0x2A ? Access::Read : Access::Write;
            step.word = true;
            step.operand = word;
        } else if (second == 0xE9) {
            step.flow = Flow::IndirectJump;
        }
    } else if (!indexed && lead != Z80Opcodes::kBitPrefix) {
        classifyMain(step, lead, quint16(second | byte(offset + 2) << 8), second, address);
    }
}

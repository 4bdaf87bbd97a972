// SPDX-License-Identifier: GPL-3.0-or-later
#include "Z80Values.h"

#include "SystemCalls.h"

#include <utility>

namespace {

using Value = Z80Values::Value;

constexpr int kA = 7;
constexpr int kFromHl = 6; // the register number that stands for (HL)
constexpr int kStackBelowEntry = 128;
// The longest block copy (LDIR) followed byte by byte.
constexpr int kMostCopied = 64;
// The high and low register of each pair; AF's low half, the flags, is not followed.
constexpr std::array<std::pair<int, int>, 6> kHalves = {
    {{0, 1}, {2, 3}, {4, 5}, {kA, -1}, {8, 9}, {10, 11}}};

Value constant(int number) {
    return {Value::Constant, number, 0};
}

Value halfOf(Value word, int half) {
    if (word.kind == Value::Constant) {
        return constant((word.number >> (8 * half)) & 0xFF);
    }
    return word.kind == Value::Unknown ? Value{} : Value{word.kind, word.number, quint8(half)};
}

Value wordOf(Value high, Value low) {
    if (high.kind == Value::Constant && low.kind == Value::Constant) {
        return constant(high.number << 8 | low.number);
    }
    if (high.kind != Value::Unknown && high.kind == low.kind && high.number == low.number &&
        high.half == 1 && low.half == 0) {
        return {high.kind, high.number, 0};
    }
    return {};
}

// An address plus a distance: the constant or the stack place it makes.
Value offsetBy(Value address, int distance) {
    if (address.kind == Value::Constant) {
        return constant((address.number + distance) & 0xFFFF);
    }
    if (address.kind == Value::StackAddress) {
        return {Value::StackAddress, address.number + distance, 0};
    }
    return {};
}

} // namespace

Z80Values::Z80Values() = default;

Z80Values Z80Values::atEntry() {
    Z80Values values;
    for (const Pair pair : {BC, DE, HL}) {
        values.setPair(pair, {Value::Register, pair, 0});
    }
    values.m_registers[kA] = {Value::Register, AF, 1};
    // Above the return address, the words the caller pushed, the last one first.
    for (int at = 2; at < kStackBelowEntry; ++at) {
        const int index = kStackBelowEntry + at;
        values.m_stack[size_t(index)] = {Value::Argument, (at - 2) / 2, quint8((at - 2) % 2)};
    }
    return values;
}

Value Z80Values::pair(Pair pair) const {
    const auto [high, low] = kHalves.at(size_t(pair));
    return wordOf(m_registers[size_t(high)], low < 0 ? Value{} : m_registers[size_t(low)]);
}

void Z80Values::setPair(Pair pair, Value word) {
    const auto [high, low] = kHalves.at(size_t(pair));
    m_registers[size_t(high)] = halfOf(word, 1);
    if (low >= 0) {
        m_registers[size_t(low)] = halfOf(word, 0);
    }
}

Value Z80Values::stackWord(int distance) const {
    const Value place{Value::StackAddress, m_sp + distance, 0};
    return wordOf(load(place, 1), load(place, 0));
}

Value Z80Values::memoryWord(quint16 address) const {
    return wordOf(load(constant(address), 1), load(constant(address), 0));
}

Value Z80Values::load(Value address, int displacement) const {
    const Value at = offsetBy(address, displacement);
    if (at.kind == Value::Constant && at.number >= SystemCalls::kNumberAddress &&
        at.number < SystemCalls::kNumberAddress + kMemoryBytes) {
        return m_memory[size_t(at.number - SystemCalls::kNumberAddress)];
    }
    const int index = at.number + kStackBelowEntry;
    if (at.kind == Value::StackAddress && index >= 0 && index < kStackBytes) {
        return m_stack[size_t(index)];
    }
    return {};
}

void Z80Values::store(Value address, int displacement, Byte byte) {
    const Value at = offsetBy(address, displacement);
    if (at.kind == Value::Constant && at.number >= SystemCalls::kNumberAddress &&
        at.number < SystemCalls::kNumberAddress + kMemoryBytes) {
        m_memory[size_t(at.number - SystemCalls::kNumberAddress)] = byte;
    } else if (const int index = at.number + kStackBelowEntry;
               at.kind == Value::StackAddress && index >= 0 && index < kStackBytes) {
        m_stack[size_t(index)] = byte;
    }
}

void Z80Values::push(Value word) {
    m_sp -= 2;
    const Value top{Value::StackAddress, m_sp, 0};
    store(top, 0, halfOf(word, 0));
    store(top, 1, halfOf(word, 1));
}

Value Z80Values::pop() {
    const Value word = stackWord(0);
    m_sp += 2;
    return word;
}

void Z80Values::copy(int count) {
    const Value from = pair(HL);
    const Value to = pair(DE);
    for (int i = 0; i < count; ++i) {
        store(to, i, load(from, i));
    }
    setPair(HL, offsetBy(from, count));
    setPair(DE, offsetBy(to, count));
}

void Z80Values::loseStack() {
    m_stack.fill(Value{});
    m_sp = 0;
}

void Z80Values::forgetRegisters() {
    m_registers.fill(Value{});
}

void Z80Values::stepLoad(int to, int from, int displacement, Pair pointer) {
    const Byte byte =
        from == kFromHl ? load(pair(pointer), displacement) : m_registers[size_t(from)];
    if (to == kFromHl) {
        store(pair(pointer), displacement, byte);
    } else {
        m_registers[size_t(to)] = byte;
    }
}

void Z80Values::put(int to, Byte byte) {
    if (to == kFromHl) {
        store(pair(HL), 0, byte);
    } else {
        m_registers[size_t(to)] = byte;
    }
}

void Z80Values::step(QByteArrayView instruction) {
    const auto byteAt = [&](int i) {
        return i < instruction.size() ? quint8(instruction[i]) : quint8(0);
    };
    const quint8 opcode = byteAt(0);
    const Value immediate = constant(byteAt(1) | byteAt(2) << 8);
    const auto pairOf = [](int code) { return code == 3 ? HL : Pair(code); };
    switch (opcode) {
    case 0xDD:
        stepIndexed(IX, instruction);
        return;
    case 0xFD:
        stepIndexed(IY, instruction);
        return;
    case 0xED:
        stepExtended(instruction);
        return;
    case 0xCB:
        // Any but BIT changes its register or (HL).
        if ((byteAt(1) & 0xC0) != 0x40) {
            put(byteAt(1) & 0x07, {});
        }
        return;
    case 0x01:
    case 0x11:
    case 0x21:
        setPair(Pair(opcode >> 4), immediate);
        return;
    case 0x31:
    case 0xF9:
        loseStack();
        return;
    case 0x02:
    case 0x12:
        store(pair(Pair(opcode >> 4)), 0, m_registers[kA]);
        return;
    case 0x0A:
    case 0x1A:
        m_registers[kA] = load(pair(Pair(opcode >> 4)), 0);
        return;
    case 0x22:
        store(immediate, 0, m_registers[5]);
        store(immediate, 1, m_registers[4]);
        return;
    case 0x2A:
        setPair(HL, wordOf(load(immediate, 1), load(immediate, 0)));
        return;
    case 0x32:
        store(immediate, 0, m_registers[kA]);
        return;
    case 0x3A:
        m_registers[kA] = load(immediate, 0);
        return;
    case 0x03:
    case 0x13:
    case 0x23:
        setPair(Pair(opcode >> 4), offsetBy(pair(Pair(opcode >> 4)), 1));
        return;
    case 0x0B:
    case 0x1B:
    case 0x2B:
        setPair(Pair(opcode >> 4), offsetBy(pair(Pair(opcode >> 4)), -1));
        return;
    case 0x09:
    case 0x19:
    case 0x29:
    case 0x39: {
        const Value added =
            opcode == 0x39 ? Value{Value::StackAddress, m_sp, 0} : pair(Pair(opcode >> 4));
        const Value hl = pair(HL);
        // A constant plus the stack pointer is a place on the stack; a sum of constants a
        // constant.
        if (hl.kind == Value::Constant) {
            setPair(HL, offsetBy(added, hl.number));
        } else if (added.kind == Value::Constant) {
            setPair(HL, offsetBy(hl, added.number));
        } else {
            setPair(HL, {});
        }
        return;
    }
    case 0x33:
        ++m_sp;
        return;
    case 0x3B:
        --m_sp;
        return;
    case 0xC5:
    case 0xD5:
    case 0xE5:
    case 0xF5:
        push(pair(pairOf((opcode >> 4) & 0x03)));
        return;
    case 0xC1:
    case 0xD1:
    case 0xE1:
    case 0xF1:
        setPair(pairOf((opcode >> 4) & 0x03), pop());
        return;
    case 0xEB: {
        const Value de = pair(DE);
        setPair(DE, pair(HL));
        setPair(HL, de);
        return;
    }
    case 0xE3: {
        const Value top = pop();
        push(pair(HL));
        setPair(HL, top);
        return;
    }
    case 0xAF:
        m_registers[kA] = constant(0);
        return;
    case 0x10:
        m_registers[0] = {};
        return;
    default:
        break;
    }
    if ((opcode & 0xC7) == 0x06) {
        put((opcode >> 3) & 0x07, constant(byteAt(1)));
        return;
    }
    if ((opcode & 0xC6) == 0x04) {
        put((opcode >> 3) & 0x07, {}); // INC r, DEC r
        return;
    }
    if (opcode >= 0x40 && opcode < 0x80 && opcode != 0x76) {
        stepLoad((opcode >> 3) & 0x07, opcode & 0x07, 0, HL);
        return;
    }
    const bool onlyFlow = (opcode & 0xC7) == 0xC0 || (opcode & 0xC7) == 0xC2 || opcode == 0xC3 ||
                          opcode == 0xC9 || opcode == 0xE9 || (opcode & 0xE7) == 0x20 ||
                          opcode == 0x18 || opcode == 0x00 || opcode == 0x76 || opcode == 0xD3 ||
                          opcode == 0xFE || (opcode >= 0xB8 && opcode < 0xC0) || opcode == 0xF3 ||
                          opcode == 0xFB;
    if (onlyFlow) {
        return;
    }
    const bool changesA = (opcode >= 0x80 && opcode < 0xB8) || (opcode & 0xC7) == 0xC6 ||
                          (opcode & 0xC7) == 0x07 || opcode == 0xDB;
    if (changesA) {
        m_registers[kA] = {};
        return;
    }
    // Calls, restarts and the rest may change any register.
    forgetRegisters();
}

void Z80Values::stepIndexed(Pair index, QByteArrayView bytes) {
    const auto byteAt = [&](int i) { return i < bytes.size() ? quint8(bytes[i]) : quint8(0); };
    const quint8 opcode = byteAt(1);
    // A signed byte.
    const int displacement = byteAt(2) < 0x80 ? byteAt(2) : byteAt(2) - 0x100;
    const Value immediate = constant(byteAt(2) | byteAt(3) << 8);
    switch (opcode) {
    case 0x21:
        setPair(index, immediate);
        return;
    case 0x22:
        store(immediate, 0, halfOf(pair(index), 0));
        store(immediate, 1, halfOf(pair(index), 1));
        return;
    case 0x2A:
        setPair(index, wordOf(load(immediate, 1), load(immediate, 0)));
        return;
    case 0x23:
    case 0x2B:
        setPair(index, offsetBy(pair(index), opcode == 0x23 ? 1 : -1));
        return;
    case 0x39: {
        const Value ix = pair(index);
        setPair(index, ix.kind == Value::Constant ? Value{Value::StackAddress, m_sp + ix.number, 0}
                                                  : Value{});
        return;
    }
    case 0xE5:
        push(pair(index));
        return;
    case 0xE1:
        setPair(index, pop());
        return;
    case 0xE3: {
        const Value top = pop();
        push(pair(index));
        setPair(index, top);
        return;
    }
    case 0xF9:
        loseStack();
        return;
    case 0x36:
        store(pair(index), displacement, constant(byteAt(3)));
        return;
    case 0xE9:
        return;
    case 0xCB:
        store(pair(index), displacement, {});
        return;
    default:
        break;
    }
    if ((opcode & 0xC7) == 0x46 && opcode != 0x76) {
        stepLoad((opcode >> 3) & 0x07, kFromHl, displacement, index);
    } else if ((opcode & 0xF8) == 0x70 && opcode != 0x76) {
        stepLoad(kFromHl, opcode & 0x07, displacement, index);
    } else {
        forgetRegisters();
    }
}

void Z80Values::stepExtended(QByteArrayView bytes) {
    const auto byteAt = [&](int i) { return i < bytes.size() ? quint8(bytes[i]) : quint8(0); };
    const quint8 opcode = byteAt(1);
    const Value immediate = constant(byteAt(2) | byteAt(3) << 8);
    const auto pairOf = [](int code) { return code == 3 ? HL : Pair(code); };
    if (opcode == 0x7B) {
        loseStack();
        return;
    }
    if (opcode == 0x73) {
        return; // LD (nn),SP
    }
    if ((opcode & 0xCF) == 0x43) {
        const Value word = pair(pairOf((opcode >> 4) & 0x03));
        store(immediate, 0, halfOf(word, 0));
        store(immediate, 1, halfOf(word, 1));
        return;
    }
    if ((opcode & 0xCF) == 0x4B) {
        setPair(pairOf((opcode >> 4) & 0x03), wordOf(load(immediate, 1), load(immediate, 0)));
        return;
    }
    const Value count = pair(BC);
    if (opcode == 0xA0 ||
        (opcode == 0xB0 && count.kind == Value::Constant && count.number <= kMostCopied)) {
        const int copied = opcode == 0xA0 ? 1 : count.number;
        copy(copied);
        setPair(BC, offsetBy(count, -copied));
        return;
    }
    forgetRegisters();
}

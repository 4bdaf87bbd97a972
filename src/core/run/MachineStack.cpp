// SPDX-License-Identifier: GPL-3.0-or-later
#include "MachineStack.h"

#include "InstructionFlow.h"

namespace {

// The CALL or RST that ends just before `value` inside the code, if there is one.
std::optional<quint16> callerOf(QByteArrayView memory, quint16 value, int codeStart, int codeEnd) {
    const auto calls = [&](int at, InstructionFlow::Flow flow, int length) {
        if (at < codeStart || at + length > codeEnd || at + length != value) {
            return false;
        }
        const InstructionFlow::Shape shape =
            InstructionFlow::of(quint8(memory[at]), quint8(memory[quint16(at + 1)]));
        return shape.flow == flow && shape.length == length;
    };
    if (calls(value - 3, InstructionFlow::Flow::Call, 3)) {
        return quint16(value - 3);
    }
    if (calls(value - 1, InstructionFlow::Flow::Restart, 1)) {
        return quint16(value - 1);
    }
    return std::nullopt;
}

} // namespace

namespace MachineStack {

QList<Entry> entries(QByteArrayView memory, quint16 sp, int count, int codeStart, int codeEnd) {
    QList<Entry> entries;
    for (int address = sp; address + 1 < 0x10000 && entries.size() < count; address += 2) {
        const auto value = quint16(quint8(memory[address]) | quint8(memory[address + 1]) << 8);
        entries.append({quint16(address), value, callerOf(memory, value, codeStart, codeEnd)});
    }
    return entries;
}

} // namespace MachineStack

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinMachine.h"

#include "NumberForm.h"
#include "SystemCalls.h"

#include <algorithm>

namespace {

using Flow = InstructionFlow::Flow;
using Kind = MachineBreakpoint::Kind;
using NumberForm::hexWord;

constexpr quint8 bit(Kind kind) {
    return quint8(1U << unsigned(kind));
}

// An `rst`'s T-states, and what a prefix before it adds.
constexpr int kRestartTStates = 11;
constexpr int kPrefixTStates = 4;

// The bytes after the header, as many as fit from $8000 to the top of memory.
QByteArray codeOf(QByteArrayView image, int headerSize) {
    const QByteArrayView code =
        image.sliced(qBound(qsizetype(0), qsizetype(headerSize), image.size()));
    return code
        .first(qMin<qsizetype>(code.size(), AddinMachine::kMemorySize - AddinMachine::kCodeStart))
        .toByteArray();
}

} // namespace

AddinMachine::AddinMachine(QByteArrayView image, int headerSize)
    : m_memory(kMemorySize, 0), m_breakpointFlags(kMemorySize, 0) {
    m_loadedCode = codeOf(image, headerSize);
    const auto length = int(m_loadedCode.size());
    std::fill(m_memory.begin() + kCodeStart, m_memory.begin() + kMappedCodeEnd, kErasedFlash);
    std::copy_n(m_loadedCode.constData(), length, m_memory.begin() + kCodeStart);
    m_codeEnd = qMax(kMappedCodeEnd, kCodeStart + length);
    if (m_codeEnd > kMappedCodeEnd) {
        m_notes << QStringLiteral("The code runs on to %1; the handheld maps only $8000-$9FFF to "
                                  "an add-in, so the run loads the rest as it is.")
                       .arg(hexWord(m_codeEnd - 1));
    }
    m_memory[kEntrySp] = quint8(kEntryReturn & 0xFF);
    m_memory[kEntrySp + 1] = quint8(kEntryReturn >> 8);

    Z80Registers start;
    start.pc = kCodeStart;
    start.sp = kEntrySp;
    loadRegisters(start);
    m_counters.lowestSp = kEntrySp;
}

bool AddinMachine::loadedCodeOf(QByteArrayView image, int headerSize) const {
    return codeOf(image, headerSize) == m_loadedCode;
}

MachineStop AddinMachine::step() {
    return execute({Goal::Into, 1, 0, 0});
}

MachineStop AddinMachine::stepOver(quint64 budget) {
    const quint16 pc = m_registers.pc;
    const InstructionFlow::Shape shape = shapeAt(pc);
    if (shape.flow == Flow::Call || shape.flow == Flow::Restart ||
        shape.flow == Flow::BlockRepeat) {
        return execute({Goal::Over, budget, quint16(pc + shape.length), m_registers.sp});
    }
    return step();
}

MachineStop AddinMachine::stepOut(quint64 budget) {
    return execute({Goal::Out, budget, 0, m_registers.sp});
}

MachineStop AddinMachine::runTo(quint16 address, quint64 budget) {
    return execute({Goal::To, budget, address, 0});
}

MachineStop AddinMachine::run(quint64 budget) {
    return execute({Goal::Free, budget, 0, 0});
}

MachineStop AddinMachine::execute(const Command& command) {
    const quint16 started = m_registers.pc;
    quint64 done = 0;
    for (;;) {
        const quint16 pc = m_registers.pc;
        if (auto stop = stopBefore(command, pc, done == 0)) {
            return *stop;
        }
        if (done == command.budget) {
            return budgetSpent(command, started, done);
        }
        const quint16 sp = m_registers.sp;
        runInstruction();
        ++done;
        if (auto stop = stopAfter(command, pc, sp)) {
            return *stop;
        }
    }
}

std::optional<MachineStop> AddinMachine::stopBefore(const Command& command, quint16 pc,
                                                    bool first) const {
    if (!inCode(pc)) {
        return MachineStop::outsideCode(pc, m_codeEnd);
    }
    // A command that reached its goal says so first; what stands there is the next one's.
    if (!first && command.goal == Goal::To && pc == command.target) {
        return MachineStop::stepped(pc, QStringLiteral("Reached %1.").arg(hexWord(pc)));
    }
    if (!first && command.goal == Goal::Over && pc == command.target &&
        m_registers.sp >= command.sp) {
        return MachineStop::stepped(pc, QStringLiteral("Stepped over to %1.").arg(hexWord(pc)));
    }
    // Only `rst $10` and `halt`, prefixed or not, stop before they run: most opcodes need no
    // closer look.
    const quint8 opcode = m_memory[pc];
    if (opcode == 0xD7 || opcode == 0x76 || InstructionFlow::isIndexPrefix(opcode)) {
        const InstructionFlow::Shape shape = shapeAt(pc);
        if (isSystemCall(shape)) {
            return MachineStop::systemCall(SystemCallStop::read(memory(), pc));
        }
        if (shape.flow == Flow::Halt) {
            return MachineStop::halted(pc);
        }
    }
    if (!first && (m_breakpointFlags[pc] & bit(Kind::Execute)) != 0) {
        return MachineStop::breakpointHit(pc, {Kind::Execute, pc}, pc, 0);
    }
    return std::nullopt;
}

void AddinMachine::runInstruction() {
    m_journal.begin(m_registers, m_counters, m_portCount);
    m_instructionPc = m_registers.pc;
    m_events = kNoEvent;
    const int tStates = m_cpu.step(m_registers);
    ++m_counters.instructions;
    m_counters.tStates += quint64(tStates);
    // SP $0000 is the top of the stack, not its lowest point: a push goes to $FFFF.
    if (quint16(m_registers.sp - 1) < quint16(m_counters.lowestSp - 1)) {
        m_counters.lowestSp = m_registers.sp;
    }
}

std::optional<MachineStop> AddinMachine::stopAfter(const Command& command, quint16 pc,
                                                   quint16 sp) const {
    const quint16 now = m_registers.pc;
    if ((m_events & kCodeWritten) != 0) {
        return MachineStop::codeWrite(now, pc, m_codeWriteAddress, m_codeWriteValue);
    }
    if ((m_events & kBreakpointHit) != 0) {
        return MachineStop::breakpointHit(now, m_hit, pc, m_hitValue);
    }
    // The instruction's bytes at `pc` are as they were: no instruction writes into the code.
    if (!inCode(now)) {
        const Flow flow = shapeAt(pc).flow;
        if (flow == Flow::Return && sp == kEntrySp) {
            return MachineStop::returnedFromEntry(pc, now);
        }
        return MachineStop::leftCode(pc, now, flow, m_codeEnd);
    }
    if (command.goal == Goal::Into) {
        return MachineStop::stepped(now, QStringLiteral("Stepped to %1.").arg(hexWord(now)));
    }
    if (command.goal == Goal::Out && m_registers.sp > command.sp &&
        shapeAt(pc).flow == Flow::Return) {
        return MachineStop::stepped(now, QStringLiteral("Stepped out to %1.").arg(hexWord(now)));
    }
    return std::nullopt;
}

MachineStop AddinMachine::budgetSpent(const Command& command, quint16 started,
                                      quint64 instructions) const {
    const QString count = MachineStop::count(instructions);
    const QString at = hexWord(m_registers.pc);
    switch (command.goal) {
    case Goal::Over:
        return MachineStop::budget(
            m_registers.pc, QStringLiteral("Step over gave up after %1 instructions: the call at "
                                           "%2 has not come back to %3; the run stands at %4.")
                                .arg(count, hexWord(started), hexWord(command.target), at));
    case Goal::Out:
        return MachineStop::budget(m_registers.pc,
                                   QStringLiteral("Step out gave up after %1 instructions: the "
                                                  "routine has not returned; the run stands at %2.")
                                       .arg(count, at));
    case Goal::To:
        return MachineStop::budget(m_registers.pc,
                                   QStringLiteral("Run to %1 gave up after %2 instructions; the "
                                                  "run stands at %3.")
                                       .arg(hexWord(command.target), count, at));
    case Goal::Into:
    case Goal::Free:
        break;
    }
    return MachineStop::runBudget(m_registers.pc, instructions);
}

MachineStop AddinMachine::stepBack() {
    if (m_journal.isEmpty()) {
        return MachineStop::journalStart(m_registers.pc, m_journal.reachesStart(),
                                         MachineJournal::kSteps);
    }
    const MachineJournal::Entry entry = m_journal.takeBack(m_memory.data());
    loadRegisters(entry.registers);
    m_counters = entry.counters;
    m_portCount = entry.portCount;
    if (m_portLog.size() > m_portCount) {
        m_portLog.resize(m_portCount);
    }
    // An answer is an instruction: the answers made at or after the count restored go.
    while (!m_answeredAt.isEmpty() && m_answeredAt.last() >= m_counters.instructions) {
        m_answeredAt.removeLast();
        m_answers.removeLast();
    }
    return MachineStop::steppedBack(m_registers.pc);
}

bool AddinMachine::answer(quint16 result, const QList<MemoryFill>& fills) {
    const quint16 pc = m_registers.pc;
    const InstructionFlow::Shape shape = shapeAt(pc);
    const SystemCallStop call = SystemCallStop::read(memory(), pc);
    qsizetype filled = 0;
    for (const MemoryFill& fill : fills) {
        filled += fill.bytes.size();
    }
    if (!inCode(pc) || !isSystemCall(shape) || call.terminates() || filled > kMemorySize) {
        return false;
    }
    m_answers.append({call.number, call.extendedNumber, result, fills});
    m_answeredAt.append(m_counters.instructions);
    journalEdit();
    for (const MemoryFill& fill : fills) {
        for (qsizetype i = 0; i < fill.bytes.size(); ++i) {
            // The system cannot write the add-in's flash either.
            if (const auto address = quint16(fill.address + i); !inCode(address)) {
                poke(address, quint8(fill.bytes[i]));
            }
        }
    }
    // The result last, as the system returns it: a fill over $C00E does not hide it.
    poke(SystemCalls::kResultAddress, quint8(result & 0xFF));
    poke(SystemCalls::kResultAddress + 1, quint8(result >> 8));
    // The `rst` ran and the call came back: the program counter past it, R counted on.
    Z80Registers after = m_registers;
    after.pc = quint16(pc + shape.length);
    after.r = quint8((after.r & 0x80) | ((after.r + shape.length) & 0x7F));
    loadRegisters(after);
    ++m_counters.instructions;
    m_counters.tStates += kRestartTStates + (shape.length - 1) * kPrefixTStates;
    return true;
}

void AddinMachine::setRegisters(const Z80Registers& registers) {
    journalEdit();
    loadRegisters(registers);
}

void AddinMachine::writeMemory(quint16 address, QByteArrayView bytes) {
    journalEdit();
    const qsizetype length = qMin<qsizetype>(bytes.size(), kMemorySize);
    for (qsizetype i = 0; i < length; ++i) {
        poke(quint16(address + i), quint8(bytes[i]));
    }
}

void AddinMachine::journalEdit() {
    m_journal.begin(m_registers, m_counters, m_portCount);
}

void AddinMachine::poke(quint16 address, quint8 value) {
    m_journal.recordWrite(address, m_memory[address]);
    m_memory[address] = value;
}

void AddinMachine::addBreakpoint(const MachineBreakpoint& breakpoint) {
    if (!hasBreakpoint(breakpoint)) {
        m_breakpoints.append(breakpoint);
        m_breakpointFlags[breakpoint.address] |= bit(breakpoint.kind);
    }
}

void AddinMachine::removeBreakpoint(const MachineBreakpoint& breakpoint) {
    if (m_breakpoints.removeOne(breakpoint)) {
        m_breakpointFlags[breakpoint.address] &= quint8(~bit(breakpoint.kind));
    }
}

bool AddinMachine::hasBreakpoint(const MachineBreakpoint& breakpoint) const {
    return (m_breakpointFlags[breakpoint.address] & bit(breakpoint.kind)) != 0;
}

quint8 AddinMachine::read(quint16 address, bool fetch) {
    if (!fetch && (m_breakpointFlags[address] & bit(Kind::MemoryRead)) != 0) {
        breakpointHit(Kind::MemoryRead, address, m_memory[address]);
    }
    return m_memory[address];
}

void AddinMachine::write(quint16 address, quint8 value) {
    if (inCode(address)) {
        if (m_counters.codeWrites++ == 0) {
            m_counters.firstCodeWrite = address;
            m_counters.firstCodeWriter = m_instructionPc;
        }
        if ((m_events & kCodeWritten) == 0) {
            m_codeWriteAddress = address;
            m_codeWriteValue = value;
            m_events |= kCodeWritten;
        }
        return;
    }
    m_journal.recordWrite(address, m_memory[address]);
    m_memory[address] = value;
    if (!m_counters.wroteMemory) {
        m_counters.wroteMemory = true;
        m_counters.firstWritten = address;
        m_counters.lastWritten = address;
    } else {
        m_counters.firstWritten = std::min(m_counters.firstWritten, address);
        m_counters.lastWritten = std::max(m_counters.lastWritten, address);
    }
    if ((m_breakpointFlags[address] & bit(Kind::MemoryWrite)) != 0) {
        breakpointHit(Kind::MemoryWrite, address, value);
    }
}

quint8 AddinMachine::in(quint16 port) {
    portAccessed(port, 0, false);
    return 0;
}

void AddinMachine::out(quint16 port, quint8 value) {
    portAccessed(port, value, true);
}

void AddinMachine::portAccessed(quint16 port, quint8 value, bool out) {
    if (m_portLog.size() < kPortLogSize) {
        m_portLog.push_back({m_instructionPc, port, value, out});
    }
    ++m_portCount;
    const Kind kind = out ? Kind::PortOut : Kind::PortIn;
    // An 8-bit breakpoint matches the low byte; a 16-bit one the whole port address.
    if ((m_breakpointFlags[port & 0xFF] & bit(kind)) != 0) {
        breakpointHit(kind, port & 0xFF, value);
    } else if (port > 0xFF && (m_breakpointFlags[port] & bit(kind)) != 0) {
        breakpointHit(kind, port, value);
    }
}

void AddinMachine::breakpointHit(Kind kind, quint16 address, quint8 value) {
    if ((m_events & kBreakpointHit) == 0) {
        m_hit = {kind, address};
        m_hitValue = value;
        m_events |= kBreakpointHit;
    }
}

void AddinMachine::loadRegisters(const Z80Registers& registers) {
    m_cpu.setRegisters(registers);
    m_registers = registers;
    m_registers.im = qMin<quint8>(registers.im, 2);
}

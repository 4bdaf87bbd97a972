// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "InstructionFlow.h"
#include "MachineBreakpoint.h"
#include "MachineJournal.h"
#include "MachineStack.h"
#include "MachineStop.h"
#include "RunCounters.h"
#include "SystemCallAnswer.h"
#include "Z80Cpu.h"
#include "Z80Registers.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <vector>

// An add-in run on an emulated Z80 (z80ex's emulator), instruction by instruction, as the
// handheld would run it up to the point where it asks the system for something: there the run
// stops and the author answers in the system's place.
//
// The memory is 64 KiB, laid out as the handheld leaves it to an add-in:
// - $8000 up: the code, from the first byte after the header to the end of the file, run in
//   place as from flash. The rest of $8000-$9FFF holds $FF, as erased flash does. A file long
//   enough to reach past $9FFF is loaded as it is (notes() says so once: the handheld maps only
//   $8000-$9FFF there). Writing into this code area changes nothing and stops the run.
// - Everything else, the system's own memory below $8000, the bank at $A000, the system memory
//   with the call parameters at $C000 and the add-in's data and stack at $F000, holds zeros:
//   what the system leaves there is not known, and zeros make every run the same.
// - The processor starts at $8000 with every register zero except SP, and interrupts off. The
//   machine starts as if the system had called the entry point: SP is $FFFE and the return
//   address $0000 lies at $FFFE. A return taken while SP is still $FFFE and leading outside the
//   code is the return from the entry (the field's C toolchain sets its own stack first).
//
// A step is one instruction, a prefix and its opcode together; an idle prefix (DD or FD before
// another prefix) is a step of its own. Ports read as zero and every access is logged. No
// interrupt is ever raised. The run stops before an `rst $10` (a system call, or the add-in's
// end for $42) and a `halt`, and after an instruction that left the code, wrote into it, or hit
// a breakpoint on memory or a port; an execute breakpoint stops before its instruction, except
// the first one a command runs, so that a stopped run can go on.
//
// Every step, answer and edit is journaled (see MachineJournal): stepBack() takes back the
// newest, bytes, registers, counters and port log together.
class AddinMachine final : private Z80Cpu::Bus {
public:
    static constexpr quint16 kCodeStart = 0x8000;
    static constexpr int kMappedCodeEnd = 0xA000; // the handheld maps $8000-$9FFF to the add-in
    static constexpr quint16 kEntrySp = 0xFFFE;
    static constexpr quint16 kEntryReturn = 0x0000;
    static constexpr quint8 kErasedFlash = 0xFF;
    static constexpr quint64 kDefaultBudget = 1'000'000;
    // The most the port log keeps; later accesses are only counted.
    static constexpr int kPortLogSize = 100'000;
    static constexpr int kMemorySize = 0x10000;
    static constexpr quint8 kSystemCallRestart = 0x10; // rst $10

    struct PortAccess {
        quint16 instruction = 0; // the address of the instruction that made it
        quint16 port = 0;
        quint8 value = 0; // read (always zero) or written
        bool out = false;
    };

    // The add-in in `image`, whose header ends at `headerSize` (the first code byte's index).
    // The bytes are copied: the run never sees later changes.
    AddinMachine(QByteArrayView image, int headerSize);
    ~AddinMachine() = default;
    AddinMachine(const AddinMachine&) = delete;
    AddinMachine& operator=(const AddinMachine&) = delete;

    // Runs one instruction.
    MachineStop step();
    // Runs a call, an RST or a repeating block instruction to the instruction after it, giving up
    // after `budget` instructions; any other instruction as step() does.
    MachineStop stepOver(quint64 budget = kDefaultBudget);
    // Runs until the routine the program counter is in returns.
    MachineStop stepOut(quint64 budget = kDefaultBudget);
    // Runs until the program counter reaches `address` again.
    MachineStop runTo(quint16 address, quint64 budget = kDefaultBudget);
    // Runs until something stops it, at most `budget` instructions.
    MachineStop run(quint64 budget = kDefaultBudget);
    // Takes back the newest step, answer or edit.
    MachineStop stepBack();

    // Answers the system call the machine stands at: each fill goes into memory (the code
    // area, flash, keeps its bytes), `result` to $C00E, and the program counter past the
    // `rst $10`, as if the call had returned; the call counts as one instruction of its
    // `rst`'s T-states. False, changing nothing, when no call other than $42 waits, or the
    // fills hold more than 64 KiB.
    bool answer(quint16 result, const QList<MemoryFill>& fills = {});

    // The answers given so far, in the order of the calls; stepping back past a call takes its
    // answer back. Written as an AnswersFile, they replay the run.
    const QList<SystemCallAnswer>& answersGiven() const { return m_answers; }

    const Z80Registers& registers() const { return m_registers; }
    // The window's edits: journaled like a step, so that stepping back takes them back in turn.
    void setRegisters(const Z80Registers& registers);
    // At most 64 KiB from `address` on, wrapping at $FFFF; more is cut off.
    void writeMemory(quint16 address, QByteArrayView bytes);
    QByteArrayView memory() const { return {m_memory.data(), kMemorySize}; }
    quint8 byteAt(quint16 address) const { return m_memory[address]; }

    void addBreakpoint(const MachineBreakpoint& breakpoint);
    void removeBreakpoint(const MachineBreakpoint& breakpoint);
    bool hasBreakpoint(const MachineBreakpoint& breakpoint) const;
    const QList<MachineBreakpoint>& breakpoints() const { return m_breakpoints; }

    const RunCounters& counters() const { return m_counters; }
    // The first kPortLogSize port accesses; portAccessCount() counts them all.
    const std::vector<PortAccess>& portLog() const { return m_portLog; }
    quint64 portAccessCount() const { return m_portCount; }
    int journalSize() const { return m_journal.size(); }

    // The stack from the stack pointer up, as MachineStack reads it.
    QList<MachineStack::Entry> stack(int count) const {
        return MachineStack::entries(memory(), m_registers.sp, count, kCodeStart, m_codeEnd);
    }
    // The code of `image` (its header ending at `headerSize`) is the code this run loaded: an
    // edit elsewhere, such as the name, leaves the run as good as new.
    bool loadedCodeOf(QByteArrayView image, int headerSize) const;

    // The first address after the add-in's code area: $A000, or the end of a longer file.
    int codeEnd() const { return m_codeEnd; }
    bool inCode(quint16 address) const { return address >= kCodeStart && address < m_codeEnd; }
    // What the run must say once before it starts, in plain sentences.
    const QStringList& notes() const { return m_notes; }

private:
    enum class Goal : quint8 { Into, Over, Out, To, Free };
    // What the instructions a command runs may end in, besides a stop of their own.
    struct Command {
        Goal goal = Goal::Into;
        quint64 budget = 1;
        quint16 target = 0; // To: the address; Over: where the call comes back to
        quint16 sp = 0;     // Over and Out: the stack pointer when the command began
    };
    // What happened inside the instruction that just ran.
    enum Event : quint8 {
        kNoEvent = 0,
        kCodeWritten = 1,
        kBreakpointHit = 2,
    };

    MachineStop execute(const Command& command);
    // A stop before the instruction at `pc` runs, if one is due; `first` for a command's first.
    std::optional<MachineStop> stopBefore(const Command& command, quint16 pc, bool first) const;
    // Runs the instruction at the program counter and journals it.
    void runInstruction();
    // A stop after the instruction at `pc` ran with the stack pointer at `sp`.
    std::optional<MachineStop> stopAfter(const Command& command, quint16 pc, quint16 sp) const;
    MachineStop budgetSpent(const Command& command, quint16 started, quint64 instructions) const;
    InstructionFlow::Shape shapeAt(quint16 address) const {
        return InstructionFlow::of(m_memory[address], m_memory[quint16(address + 1)]);
    }
    bool isSystemCall(InstructionFlow::Shape shape) const {
        return shape.flow == InstructionFlow::Flow::Restart && shape.restart == kSystemCallRestart;
    }
    void loadRegisters(const Z80Registers& registers);
    void journalEdit();
    void poke(quint16 address, quint8 value);

    // The bus the processor reads and writes through.
    quint8 read(quint16 address, bool fetch) override;
    void write(quint16 address, quint8 value) override;
    quint8 in(quint16 port) override;
    void out(quint16 port, quint8 value) override;
    quint8 peek(quint16 address) const override { return m_memory[address]; }
    void portAccessed(quint16 port, quint8 value, bool out);
    void breakpointHit(MachineBreakpoint::Kind kind, quint16 address, quint8 value);

    QByteArray m_loadedCode;
    std::vector<quint8> m_memory;
    std::vector<quint8> m_breakpointFlags; // a bit per breakpoint kind for each address
    Z80Cpu m_cpu{*this};
    Z80Registers m_registers;
    RunCounters m_counters;
    MachineJournal m_journal;
    QList<MachineBreakpoint> m_breakpoints;
    QList<SystemCallAnswer> m_answers;
    QList<quint64> m_answeredAt; // the instruction count before each answer
    std::vector<PortAccess> m_portLog;
    quint64 m_portCount = 0;
    int m_codeEnd = kMappedCodeEnd;
    QStringList m_notes;

    // Set while an instruction runs.
    quint16 m_instructionPc = 0;
    quint8 m_events = kNoEvent;
    MachineBreakpoint m_hit;
    quint8 m_hitValue = 0;
    quint16 m_codeWriteAddress = 0;
    quint8 m_codeWriteValue = 0;
};

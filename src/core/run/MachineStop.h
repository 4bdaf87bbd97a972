// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "InstructionFlow.h"
#include "MachineBreakpoint.h"
#include "SystemCallStop.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// Why the machine stopped, in plain words (`text`), and for the window and scripts as a kind,
// the program counter it stopped at, and the call or breakpoint that stopped it.
struct MachineStop {
    enum class Kind : quint8 {
        Stepped,           // a step, step over, step out or run to finished
        SteppedBack,       // a step back finished
        JournalStart,      // a step back found no earlier step
        SystemCall,        // an `rst $10` is to run: answer it, then go on
        Terminated,        // an `rst $10` with $42: the add-in leaves
        ReturnedFromEntry, // a return from the entry point, out of the add-in
        LeftCode,          // a jump, call, return or the next instruction outside the code
        Halted,            // a `halt`: nothing would wake the processor
        CodeWrite,         // an instruction wrote into the add-in's code
        Breakpoint,
        Budget, // the instructions allowed ran out, or a step over or out gave up
    };

    Kind kind = Kind::Stepped;
    quint16 pc = 0; // where the machine stands now
    QString text;
    std::optional<SystemCallStop> call;          // for SystemCall and Terminated
    std::optional<MachineBreakpoint> breakpoint; // for Breakpoint

    // Only a SystemCall stop takes an answer; only Terminated is the add-in's own way out.
    bool awaitsAnswer() const { return kind == Kind::SystemCall; }
    // "system-call", "left-code", ...: the kind for scripts.
    static QString kindName(Kind kind);

    // `text` says which command finished where: "Stepped over to $8006."
    static MachineStop stepped(quint16 pc, const QString& text);
    static MachineStop steppedBack(quint16 pc);
    // `atRunStart`: the journal reaches back to the run's start; else it has dropped the
    // older steps and keeps `kept`.
    static MachineStop journalStart(quint16 pc, bool atRunStart, int kept);
    static MachineStop systemCall(const SystemCallStop& call);
    static MachineStop returnedFromEntry(quint16 from, quint16 to);
    // The instruction at `from`, which moves the program counter as `flow` says, took it to
    // `to`, outside the add-in's code [$8000, codeEnd).
    static MachineStop leftCode(quint16 from, quint16 to, InstructionFlow::Flow flow, int codeEnd);
    // The program counter already stands outside the code.
    static MachineStop outsideCode(quint16 pc, int codeEnd);
    static MachineStop halted(quint16 pc);
    static MachineStop codeWrite(quint16 pc, quint16 writer, quint16 address, quint8 value);
    static MachineStop breakpointHit(quint16 pc, const MachineBreakpoint& breakpoint,
                                     quint16 instruction, quint8 value);
    static MachineStop budget(quint16 pc, const QString& text);
    // A run that has used all `instructions` it was allowed.
    static MachineStop runBudget(quint16 pc, quint64 instructions);

    // 1000000 as "1,000,000".
    static QString count(quint64 number);
};

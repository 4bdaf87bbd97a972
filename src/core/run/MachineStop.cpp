// SPDX-License-Identifier: GPL-3.0-or-later
#include "MachineStop.h"

#include "NumberForm.h"

#include <QLocale>

namespace {

using NumberForm::hexWord;

MachineStop make(MachineStop::Kind kind, quint16 pc, const QString& text) {
    MachineStop stop;
    stop.kind = kind;
    stop.pc = pc;
    stop.text = text;
    return stop;
}

QString hexByte(quint8 value) {
    return QStringLiteral("$%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

QString codeArea(int codeEnd) {
    return QStringLiteral("the add-in's code (%1-%2)").arg(hexWord(0x8000), hexWord(codeEnd - 1));
}

} // namespace

QString MachineStop::kindName(Kind kind) {
    switch (kind) {
    case Kind::Stepped:
        return QStringLiteral("stepped");
    case Kind::SteppedBack:
        return QStringLiteral("stepped-back");
    case Kind::JournalStart:
        return QStringLiteral("journal-start");
    case Kind::SystemCall:
        return QStringLiteral("system-call");
    case Kind::Terminated:
        return QStringLiteral("terminated");
    case Kind::ReturnedFromEntry:
        return QStringLiteral("returned-from-entry");
    case Kind::LeftCode:
        return QStringLiteral("left-code");
    case Kind::Halted:
        return QStringLiteral("halted");
    case Kind::CodeWrite:
        return QStringLiteral("code-write");
    case Kind::Breakpoint:
        return QStringLiteral("breakpoint");
    case Kind::Budget:
        return QStringLiteral("budget");
    }
    return {};
}

QString MachineStop::count(quint64 number) {
    return QLocale(QLocale::English).toString(number);
}

MachineStop MachineStop::stepped(quint16 pc, const QString& text) {
    return make(Kind::Stepped, pc, text);
}

MachineStop MachineStop::steppedBack(quint16 pc) {
    return make(Kind::SteppedBack, pc, QStringLiteral("Stepped back to %1.").arg(hexWord(pc)));
}

MachineStop MachineStop::journalStart(quint16 pc, bool atRunStart, int kept) {
    return make(Kind::JournalStart, pc,
                atRunStart ? QStringLiteral("Back at the start of the run, %1: there is no "
                                            "earlier step.")
                                 .arg(hexWord(pc))
                           : QStringLiteral("No earlier step at %1: the journal keeps the last "
                                            "%2 steps.")
                                 .arg(hexWord(pc), count(quint64(kept))));
}

MachineStop MachineStop::systemCall(const SystemCallStop& call) {
    MachineStop stop;
    stop.pc = call.address;
    stop.call = call;
    if (call.terminates()) {
        stop.kind = Kind::Terminated;
        stop.text = QStringLiteral("The add-in left through system call %1 at %2.")
                        .arg(call.describe(), hexWord(call.address));
    } else {
        stop.kind = Kind::SystemCall;
        stop.text = call.title() + QLatin1String(", arguments ") + call.argumentsText() +
                    QLatin1String(": give the result and continue");
    }
    return stop;
}

MachineStop MachineStop::returnedFromEntry(quint16 from, quint16 to) {
    return make(Kind::ReturnedFromEntry, to,
                QStringLiteral("The add-in returned from its entry point at %1, to %2 outside "
                               "its code; add-ins leave through system call $0042.")
                    .arg(hexWord(from), hexWord(to)));
}

MachineStop MachineStop::leftCode(quint16 from, quint16 to, InstructionFlow::Flow flow,
                                  int codeEnd) {
    using InstructionFlow::Flow;
    QString verb = QStringLiteral("ran on into");
    if (flow == Flow::Jump) {
        verb = QStringLiteral("jumped to");
    } else if (flow == Flow::Call || flow == Flow::Restart) {
        verb = QStringLiteral("called");
    } else if (flow == Flow::Return) {
        verb = QStringLiteral("returned to");
    }
    return make(Kind::LeftCode, to,
                QStringLiteral("The instruction at %1 %2 %3, outside %4.")
                    .arg(hexWord(from), verb, hexWord(to), codeArea(codeEnd)));
}

MachineStop MachineStop::outsideCode(quint16 pc, int codeEnd) {
    return make(Kind::LeftCode, pc,
                QStringLiteral("The program counter %1 is outside %2: there is nothing to run.")
                    .arg(hexWord(pc), codeArea(codeEnd)));
}

MachineStop MachineStop::halted(quint16 pc) {
    return make(Kind::Halted, pc,
                QStringLiteral("The add-in halts at %1: no interrupts are modelled, so nothing "
                               "would wake the processor.")
                    .arg(hexWord(pc)));
}

MachineStop MachineStop::codeWrite(quint16 pc, quint16 writer, quint16 address, quint8 value) {
    return make(Kind::CodeWrite, pc,
                QStringLiteral("The instruction at %1 wrote %2 to %3, into the add-in's code: it "
                               "runs from flash on the handheld, so the byte stays as it was.")
                    .arg(hexWord(writer), hexByte(value), hexWord(address)));
}

MachineStop MachineStop::breakpointHit(quint16 pc, const MachineBreakpoint& breakpoint,
                                       quint16 instruction, quint8 value) {
    using Bp = MachineBreakpoint::Kind;
    const QString at = hexWord(instruction);
    const QString byte = hexByte(value);
    const QString where = hexWord(breakpoint.address);
    QString text;
    switch (breakpoint.kind) {
    case Bp::Execute:
        text = QStringLiteral("Breakpoint at %1.").arg(where);
        break;
    case Bp::MemoryRead:
        text = QStringLiteral("The instruction at %1 read %2 from %3: a memory-read breakpoint.")
                   .arg(at, byte, where);
        break;
    case Bp::MemoryWrite:
        text = QStringLiteral("The instruction at %1 wrote %2 to %3: a memory-write breakpoint.")
                   .arg(at, byte, where);
        break;
    case Bp::PortIn:
        text = QStringLiteral("The instruction at %1 read %2 from port %3: a port-in breakpoint.")
                   .arg(at, byte, where);
        break;
    case Bp::PortOut:
        text = QStringLiteral("The instruction at %1 wrote %2 to port %3: a port-out breakpoint.")
                   .arg(at, byte, where);
        break;
    }
    MachineStop stop = make(Kind::Breakpoint, pc, text);
    stop.breakpoint = breakpoint;
    return stop;
}

MachineStop MachineStop::budget(quint16 pc, const QString& text) {
    return make(Kind::Budget, pc, text);
}

MachineStop MachineStop::runBudget(quint16 pc, quint64 instructions) {
    return budget(pc, QStringLiteral("The run used its budget of %1 instructions; it stands at %2.")
                          .arg(count(instructions), hexWord(pc)));
}

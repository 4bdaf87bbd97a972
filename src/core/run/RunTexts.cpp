// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunTexts.h"

#include "AddinMachine.h"
#include "DumpText.h"
#include "RunListing.h"

namespace RunTexts {

QString address(int value) {
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

QString memoryRow(QByteArrayView memory, int row) {
    const int start = kMemoryStart + row * kBytesPerRow;
    const QByteArrayView bytes = memory.sliced(start, kBytesPerRow);
    return address(start) + QLatin1String("  ") + DumpText::hexText(bytes) + QLatin1Char(' ') +
           DumpText::asciiText(bytes);
}

QString instruction(const AddinMachine& machine, const RunListing& listing, quint16 address) {
    if (QString listed = listing.instructionAt(address); !listed.isEmpty()) {
        return listed;
    }
    const int end = qMin(int(address) + CodeInstruction::kMaxLength, AddinMachine::kMemorySize);
    return CodeListing::ofRange(machine.memory(), address, end, address)
        .instructionText(0)
        .toString();
}

QStringList stackLines(const AddinMachine& machine, const RunListing& listing, int count) {
    QStringList lines;
    for (const MachineStack::Entry& entry : machine.stack(count)) {
        QString line = address(entry.address) + QLatin1String("  ") + address(entry.value);
        if (entry.caller) {
            // The call alone: the comment naming a system call would not fit beside it.
            const QString call = instruction(machine, listing, *entry.caller);
            line += QLatin1String("  after ") + call.section(QLatin1String(" ; "), 0, 0);
        } else if (const QString label = listing.labelAt(entry.value); !label.isEmpty()) {
            line += QLatin1String("  ") + label;
        }
        lines << line;
    }
    return lines;
}

const QStringList& breakpointKinds() {
    static const QStringList kKinds{QStringLiteral("Execute"), QStringLiteral("Memory read"),
                                    QStringLiteral("Memory write"), QStringLiteral("Port in"),
                                    QStringLiteral("Port out")};
    return kKinds;
}

QString breakpoint(const MachineBreakpoint& breakpoint, const RunListing& listing) {
    const QString kind = breakpointKinds().at(int(breakpoint.kind));
    switch (breakpoint.kind) {
    case MachineBreakpoint::Kind::PortIn:
    case MachineBreakpoint::Kind::PortOut:
        return kind + QLatin1Char(' ') +
               (breakpoint.address > 0xFF ? address(breakpoint.address)
                                          : QStringLiteral("%1")
                                                .arg(breakpoint.address, 2, 16, QLatin1Char('0'))
                                                .toUpper());
    case MachineBreakpoint::Kind::Execute:
        if (const QString label = listing.labelAt(breakpoint.address); !label.isEmpty()) {
            return kind + QLatin1String(" at ") + address(breakpoint.address) + QLatin1Char(' ') +
                   label;
        }
        break;
    case MachineBreakpoint::Kind::MemoryRead:
    case MachineBreakpoint::Kind::MemoryWrite:
        break;
    }
    return kind + QLatin1String(" at ") + address(breakpoint.address);
}

QString counters(const AddinMachine& machine) {
    const RunCounters& counters = machine.counters();
    const qsizetype answers = machine.answersGiven().size();
    return QStringLiteral("%1 instructions and %2 T-states run; the stack reached %3; %4 given.")
        .arg(MachineStop::count(counters.instructions), MachineStop::count(counters.tStates),
             address(counters.lowestSp),
             answers == 1 ? QStringLiteral("1 answer") : QStringLiteral("%1 answers").arg(answers));
}

} // namespace RunTexts

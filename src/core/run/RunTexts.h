// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MachineBreakpoint.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class AddinMachine;
class RunListing;

// The Run window's texts of a paused run, addresses in hexadecimal as the listing writes them.
namespace RunTexts {

// The memory view's rows: 16 bytes each from `kMemoryStart` to the top of memory.
constexpr int kMemoryStart = 0xC000;
constexpr int kBytesPerRow = 16;
constexpr int kMemoryRows = (0x10000 - kMemoryStart) / kBytesPerRow;

// Row `row` of 64 KiB of `memory`: "C000  2A 00 ... 00  *...............".
QString memoryRow(QByteArrayView memory, int row);

// The instruction at `address` as the listing writes it ("call L9F7B") where a line of code
// starts there, else as decoded from memory ("call $9F7B").
QString instruction(const AddinMachine& machine, const RunListing& listing, quint16 address);

// The stack from SP up, a word a line, each value that returns after a call or starts a label
// named: "FFFA  8007  after call L9F7B", "FFFC  9113  L9113".
QStringList stackLines(const AddinMachine& machine, const RunListing& listing, int count);

// "Execute", "Memory read", "Memory write", "Port in", "Port out": by MachineBreakpoint::Kind.
const QStringList& breakpointKinds();
// "Execute at 8003 L8003", "Memory write at F000", "Port out 12".
QString breakpoint(const MachineBreakpoint& breakpoint, const RunListing& listing);

// "1,234 instructions and 9,876 T-states run; the stack reached FFF0; 2 answers given."
QString counters(const AddinMachine& machine);

// "8003" for an address.
QString address(int value);

} // namespace RunTexts

// SPDX-License-Identifier: GPL-3.0-or-later
#include "MachineJournal.h"

MachineJournal::MachineJournal() : m_entries(kSteps), m_writes(kWrites) {}

void MachineJournal::begin(const Z80Registers& registers, const RunCounters& counters,
                           quint64 portCount) {
    if (m_size == kSteps) {
        dropOldest();
    }
    Entry& entry = m_entries[(m_oldest + m_size) & (kSteps - 1)];
    entry.registers = registers;
    entry.counters = counters;
    entry.portCount = portCount;
    entry.firstWrite = m_writeCount;
    ++m_size;
}

void MachineJournal::dropOldest() {
    m_oldest = (m_oldest + 1) & (kSteps - 1);
    --m_size;
    ++m_dropped;
}

MachineJournal::Entry MachineJournal::takeBack(quint8* memory) {
    const Entry& entry = m_entries[(m_oldest + m_size - 1) & (kSteps - 1)];
    while (m_writeCount > entry.firstWrite) {
        --m_writeCount;
        const Write& write = m_writes[m_writeCount & (kWrites - 1)];
        memory[write.address] = write.old;
    }
    --m_size;
    return entry;
}

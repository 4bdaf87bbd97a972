// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunCounters.h"
#include "Z80Registers.h"

#include <QtGlobal>

#include <vector>

// What each step of a run changed, newest last, so that stepping back can take it back: the
// registers and counters before the step, how long the port log was, and the old value of every
// byte the step wrote. An entry is an instruction, an answer to a system call, or an edit from
// the window. Both rings have a fixed size: when either is full the oldest entries go, so the
// journal keeps at least kSteps steps of ordinary instructions, fewer only after huge writes.
class MachineJournal {
public:
    // Powers of two, so that a ring index is a mask: the free run's every step comes here.
    static constexpr int kSteps = 1 << 17;
    // Room for four written bytes a step and more than one whole 64 KiB write.
    static constexpr int kWrites = 1 << 19;

    struct Entry {
        Z80Registers registers;
        RunCounters counters;
        quint64 portCount = 0;
        quint64 firstWrite = 0; // the index of its first write since the journal began
    };

    MachineJournal();

    // Opens the entry of the next step.
    void begin(const Z80Registers& registers, const RunCounters& counters, quint64 portCount);
    // The step of the open entry is about to write over `old` at `address`.
    void recordWrite(quint16 address, quint8 old) {
        while (m_size > 1 && m_writeCount - m_entries[m_oldest].firstWrite >= kWrites) {
            dropOldest();
        }
        m_writes[m_writeCount & (kWrites - 1)] = {address, old};
        ++m_writeCount;
    }

    bool isEmpty() const { return m_size == 0; }
    int size() const { return m_size; }
    // No entry was ever dropped: the oldest is the run's first.
    bool reachesStart() const { return m_dropped == 0; }

    // Takes back the newest entry: writes the old bytes back into 64 KiB of `memory`, newest
    // first, and returns the entry to restore the rest from. The journal must not be empty.
    Entry takeBack(quint8* memory);

private:
    struct Write {
        quint16 address;
        quint8 old;
    };

    void dropOldest();

    std::vector<Entry> m_entries;
    std::vector<Write> m_writes;
    int m_oldest = 0; // index of the oldest entry in m_entries
    int m_size = 0;
    quint64 m_writeCount = 0;
    quint64 m_dropped = 0;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// What a run has done so far, for its summary; the journal keeps a copy for each step so that
// stepping back takes these back too. Writes are the add-in's own: an answer to a system call
// and an edit from the window are not counted.
struct RunCounters {
    quint64 instructions = 0;
    quint64 tStates = 0;
    quint16 lowestSp = 0; // the lowest stack pointer after any instruction, the start included
    bool wroteMemory = false;
    quint16 firstWritten = 0; // the lowest and highest address written, when wroteMemory
    quint16 lastWritten = 0;
    quint64 codeWrites = 0;      // writes into the add-in's code, refused
    quint16 firstCodeWrite = 0;  // where the first of them went
    quint16 firstCodeWriter = 0; // and the instruction that made it

    bool operator==(const RunCounters&) const = default;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QList>
#include <QString>

#include <optional>

// One step of Find next / Find previous or of Next / Previous difference: from the current
// selection to the next or previous of a list of ranges, wrapping around at the list's end.
struct RangeStep {
    enum class Direction { Forward, Backward };

    std::optional<ByteRange> range; // the range to select; none when the list is empty
    bool wrapped = false;           // the step passed the end (forward) or the start (backward)
    Direction direction = Direction::Forward;

    // `sorted` is ordered by start. Forward takes the first range that starts at or after the
    // selection's end (a caret, an empty selection, ends where it starts), else the first
    // range of all; backward the last range that starts before the selection's start, else
    // the last of all.
    static RangeStep among(const QList<ByteRange>& sorted, const ByteRange& selection,
                           Direction direction);

    // The status bar's note on a wrapped step; empty when the step did not wrap.
    QString wrapNote() const;
};

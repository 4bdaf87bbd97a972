// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QByteArrayView>
#include <QList>

// One part of two files compared byte for byte, aligned at its first byte in each: the whole
// files (by position), or an add-in's code, every byte after its header.
struct ComparedSection {
    enum class Part { Whole, Code };

    // A maximal run of differing bytes: `length` bytes from `thisStart` in this file against
    // as many from `otherStart` in the other.
    struct Run {
        int thisStart = 0;
        int otherStart = 0;
        int length = 0;

        ByteRange inThis() const { return {thisStart, length}; }
        ByteRange inOther() const { return {otherStart, length}; }
        bool operator==(const Run&) const = default;
    };

    Part part = Part::Whole;
    ByteRange thisRange;
    ByteRange otherRange;
    QList<Run> runs; // over the common length, in order

    int commonLength() const { return qMin(thisRange.length, otherRange.length); }
    // The tail past the common length that only the longer side has; empty on the other side.
    ByteRange thisOnly() const;
    ByteRange otherOnly() const;
    bool same() const { return runs.isEmpty() && thisRange.length == otherRange.length; }

    static ComparedSection of(Part part, QByteArrayView thisImage, const ByteRange& thisRange,
                              QByteArrayView otherImage, const ByteRange& otherRange);
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QList>
#include <QObject>

#include <array>

// The dump's highlights: for each kind, ranges of bytes (file offsets, in order, not
// overlapping) that both panes paint in the kind's colour, under the selection. Whoever owns a
// kind sets its ranges whole; the layer tells which bytes that changed, so that the panes
// repaint only those lines.
class ByteHighlights : public QObject {
    Q_OBJECT

public:
    // In order of precedence: where two kinds cover a byte, the one first here is painted. A
    // new kind takes its place in this order. The program counter comes first: where a paused
    // run stands is what the user watches while stepping, and it covers one instruction, so the
    // differences and changes around it stay in view. The author's marks come last: they last.
    enum class Kind { ProgramCounter, CompareDifference, ChangedSinceSave, Bookmarked, Marked };
    static constexpr int kKinds = 5;

    // A painted range and its kind.
    struct Mark {
        ByteRange range;
        Kind kind = Kind::CompareDifference;
        bool operator==(const Mark&) const = default;
    };

    using QObject::QObject;

    const QList<ByteRange>& ranges(Kind kind) const;
    // Replaces the ranges of `kind`; empty ranges are left out, and an empty list takes every
    // highlight of the kind away.
    void set(Kind kind, QList<ByteRange> ranges);
    // The bytes of `within` as the panes paint them, in order: each byte under the first kind
    // that covers it, and a range cut short where one of a kind before it lies over it. Two
    // ranges that touch stay two marks, so the panes can show where one ends.
    QList<Mark> marksWithin(const ByteRange& within) const;
    // `ranges` in order, those that overlap joined, for set(): marks of the author's may lie
    // over one another.
    static QList<ByteRange> joined(QList<ByteRange> ranges);

signals:
    // The highlights of the bytes of `span` (file offsets) may have changed; none outside it.
    void changed(ByteRange span);

private:
    std::array<QList<ByteRange>, kKinds> m_ranges;
};

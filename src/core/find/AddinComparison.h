// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"
#include "HeaderFact.h"
#include "RangeStep.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// A header field whose value differs between the two files. A side that has no such field
// (its header ends before it, or is not an add-in's) has no fact.
struct HeaderDifference {
    QString key; // as HeaderFact names it: "name", "word1", "file_size", ...
    std::optional<HeaderFact> thisFact;
    std::optional<HeaderFact> otherFact;

    // A side's value as the window shows it (see HeaderFact::valueText), or kMissing.
    static inline const QString kMissing = QStringLiteral("(none)");
    QString thisText(bool hex) const;
    QString otherText(bool hex) const;
};

// This file against another: the header fields that differ and the runs of differing bytes
// over the part both files have. Plain values, computed at once; a patch or another file
// means a new comparison.
class AddinComparison {
public:
    // The status bar's note when there is no run of differing bytes to step to.
    static inline const QString kNoDifferences = QStringLiteral("No differing bytes to step to.");

    static AddinComparison of(QByteArrayView thisImage, QByteArrayView otherImage);

    // In HeaderFact's order.
    const QList<HeaderDifference>& headerDifferences() const { return m_headerDifferences; }
    // Maximal runs of differing bytes in the first commonLength() bytes, in order; file offsets.
    const QList<ByteRange>& runs() const { return m_runs; }

    int thisLength() const { return m_thisLength; }
    int otherLength() const { return m_otherLength; }
    int commonLength() const { return qMin(m_thisLength, m_otherLength); }
    bool same() const { return m_runs.isEmpty() && m_thisLength == m_otherLength; }
    // That the files differ in length and only the common part is compared; empty when
    // their lengths are the same.
    QString lengthNote() const;

    // The runs as far as they lie inside `within` (clipped to it): what the dump marks, and
    // what F7 steps over, while "Strip header" hides the header (see ByteRange::shown).
    QList<ByteRange> runsWithin(const ByteRange& within) const;
    // F7 (Forward) and Shift+F7 (Backward) from `selection`: RangeStep::among(runsWithin()).
    RangeStep step(const ByteRange& selection, RangeStep::Direction direction,
                   const ByteRange& within) const;
    // What the status bar says after step(): kNoDifferences, the wrap note, or nothing.
    static QString note(const RangeStep& step);

private:
    QList<HeaderDifference> m_headerDifferences;
    QList<ByteRange> m_runs;
    int m_thisLength = 0;
    int m_otherLength = 0;
};

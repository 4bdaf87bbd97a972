// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"
#include "ComparedSection.h"
#include "HeaderDifference.h"
#include "RangeStep.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// This file against another. Two add-ins are compared by their structure: the header field by
// field (the icon as one field), then the code aligned at its first byte in each file, every
// byte after the header, up to the end of the shorter; the longer one's tail is its own. So a
// description one byte longer moves nothing else. When either file is not an add-in with a complete
// header, the files are compared by position, byte for byte over the part both have. Plain values,
// computed at once; a patch or another file means a new comparison.
class AddinComparison {
public:
    enum class Basis { Structure, Position };

    // The status bar's note when there is no difference to step to.
    static inline const QString kNoDifferences = QStringLiteral("No differing bytes to step to.");

    // By structure when both files are add-ins with complete headers, else by position.
    static AddinComparison of(QByteArrayView thisImage, QByteArrayView otherImage);
    static AddinComparison byPosition(QByteArrayView thisImage, QByteArrayView otherImage);

    Basis basis() const { return m_basis; }
    // In HeaderFact's order; by structure also the bytes after the class line's and the
    // name's carriage returns ("byte_after_class_cr", "byte_after_name_cr"), and the icon.
    const QList<HeaderDifference>& headerDifferences() const { return m_headerDifferences; }
    // By position the Whole files, by structure the Code: every byte after the header.
    const ComparedSection& section() const { return m_section; }
    // This file's bytes that differ, in order: what the dump marks and F7 steps to. By
    // structure: each header field that differs, the icon's differing bytes, then the runs of
    // the code and the tail only this file has.
    const QList<ByteRange>& marks() const { return m_marks; }
    // How many of marks() lie in the header; the others lie after it.
    int marksInHeader() const;

    int thisLength() const { return m_thisLength; }
    int otherLength() const { return m_otherLength; }
    bool same() const;
    // By position, that the files differ in length and only the common part is compared;
    // empty when their lengths are the same, and by structure, where every byte is compared.
    QString lengthNote() const;

    // marks() as far as they lie inside `within` (clipped to it): what the dump marks, and
    // what F7 steps over, while "Strip header" hides the header (see ByteRange::shown).
    QList<ByteRange> marksWithin(const ByteRange& within) const;
    // F7 (Forward) and Shift+F7 (Backward) from `selection`: RangeStep::among(marksWithin()).
    RangeStep step(const ByteRange& selection, RangeStep::Direction direction,
                   const ByteRange& within) const;
    // What the status bar says after step(): kNoDifferences, the wrap note, or nothing.
    static QString note(const RangeStep& step);

private:
    Basis m_basis = Basis::Position;
    QList<HeaderDifference> m_headerDifferences;
    ComparedSection m_section;
    QList<ByteRange> m_marks;
    int m_headSize = 0; // this file's, by structure
    int m_thisLength = 0;
    int m_otherLength = 0;
};

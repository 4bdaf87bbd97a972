// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinComparison.h"

#include "AddinHeader.h"

namespace {

std::optional<HeaderFact> factNamed(const QList<HeaderFact>& facts, const QString& key) {
    for (const HeaderFact& fact : facts) {
        if (fact.key == key) {
            return fact;
        }
    }
    return std::nullopt;
}

// Every key of both lists in HeaderFact's order. Each list is that order with some keys left
// out, so a key only `other` has goes right after the key before it there.
QStringList keysOfBoth(const QList<HeaderFact>& facts, const QList<HeaderFact>& other) {
    QStringList keys;
    for (const HeaderFact& fact : facts) {
        keys << fact.key;
    }
    qsizetype insertAt = 0;
    for (const HeaderFact& fact : other) {
        const qsizetype at = keys.indexOf(fact.key);
        if (at < 0) {
            keys.insert(insertAt, fact.key);
            ++insertAt;
        } else {
            insertAt = at + 1;
        }
    }
    return keys;
}

QList<HeaderDifference> differingFields(QByteArrayView thisImage, QByteArrayView otherImage) {
    const QList<HeaderFact> these =
        HeaderFact::listOf(AddinHeader::parse(thisImage), thisImage.size());
    const QList<HeaderFact> others =
        HeaderFact::listOf(AddinHeader::parse(otherImage), otherImage.size());
    QList<HeaderDifference> differences;
    for (const QString& key : keysOfBoth(these, others)) {
        HeaderDifference difference{key, factNamed(these, key), factNamed(others, key)};
        if (difference.thisFact != difference.otherFact) {
            differences << difference;
        }
    }
    return differences;
}

QString sideText(const std::optional<HeaderFact>& fact, bool hex) {
    return fact ? fact->valueText(hex) : HeaderDifference::kMissing;
}

} // namespace

QString HeaderDifference::thisText(bool hex) const {
    return sideText(thisFact, hex);
}

QString HeaderDifference::otherText(bool hex) const {
    return sideText(otherFact, hex);
}

AddinComparison AddinComparison::of(QByteArrayView thisImage, QByteArrayView otherImage) {
    AddinComparison comparison;
    comparison.m_thisLength = int(thisImage.size());
    comparison.m_otherLength = int(otherImage.size());
    comparison.m_headerDifferences = differingFields(thisImage, otherImage);
    const int common = comparison.commonLength();
    for (int offset = 0; offset < common;) {
        if (thisImage[offset] == otherImage[offset]) {
            ++offset;
            continue;
        }
        const int start = offset;
        while (offset < common && thisImage[offset] != otherImage[offset]) {
            ++offset;
        }
        comparison.m_runs.append({start, offset - start});
    }
    return comparison;
}

QString AddinComparison::lengthNote() const {
    if (m_thisLength == m_otherLength) {
        return {};
    }
    return QStringLiteral("This file has %1 bytes and the other file %2: only the first %3 "
                          "bytes are compared.")
        .arg(m_thisLength)
        .arg(m_otherLength)
        .arg(commonLength());
}

QList<ByteRange> AddinComparison::runsWithin(const ByteRange& within) const {
    QList<ByteRange> runs;
    for (const ByteRange& run : m_runs) {
        const ByteRange inside = run.clippedTo(within);
        if (!inside.isEmpty()) {
            runs << inside;
        }
    }
    return runs;
}

RangeStep AddinComparison::step(const ByteRange& selection, RangeStep::Direction direction,
                                const ByteRange& within) const {
    return RangeStep::among(runsWithin(within), selection, direction);
}

QString AddinComparison::note(const RangeStep& step) {
    return step.range ? step.wrapNote() : kNoDifferences;
}

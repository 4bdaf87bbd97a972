// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinComparison.h"

#include "AddinHeader.h"
#include "HeaderJson.h"

#include <algorithm>
#include <bit>

namespace {

using HeaderJson::kAfterClassReturn;
using HeaderJson::kAfterNameReturn;

bool isAddin(const AddinHeader& header) {
    return header.complete() && header.isAddin();
}

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

// The byte after the carriage return that ends `field`, which the parser passes over.
int byteAfterReturn(QByteArrayView image, const HeaderField& field) {
    return quint8(image[field.start + field.length()]);
}

// The facts the comparison weighs: info's, and between two add-ins the bytes after the two
// carriage returns, which hold a file's bytes as much as any field.
QList<HeaderFact> factsOf(QByteArrayView image, const AddinHeader& header, bool byStructure) {
    QList<HeaderFact> facts = HeaderFact::listOf(header, image.size());
    if (byStructure) {
        const auto after = [&](const char* key, const QString& name, const HeaderField& field) {
            const qsizetype at = std::find_if(facts.cbegin(), facts.cend(),
                                              [key](const HeaderFact& fact) {
                                                  return fact.key == QLatin1String(key);
                                              }) -
                                 facts.cbegin();
            facts.insert(
                at + 1, {name, HeaderFact::Kind::Number, QString(), byteAfterReturn(image, field)});
        };
        after("type", kAfterClassReturn, *header.classLine);
        after("name", kAfterNameReturn, *header.name);
    }
    return facts;
}

int differingPixels(const QByteArray& these, const QByteArray& others) {
    int pixels = 0;
    for (qsizetype i = 0; i < these.size(); ++i) {
        pixels += std::popcount(quint8(these[i] ^ others[i]));
    }
    return pixels;
}

QList<HeaderDifference> differingFields(QByteArrayView thisImage, const AddinHeader& these,
                                        QByteArrayView otherImage, const AddinHeader& others,
                                        bool byStructure) {
    const QList<HeaderFact> thisFacts = factsOf(thisImage, these, byStructure);
    const QList<HeaderFact> otherFacts = factsOf(otherImage, others, byStructure);
    QList<HeaderDifference> differences;
    for (const QString& key : keysOfBoth(thisFacts, otherFacts)) {
        HeaderDifference difference{key, factNamed(thisFacts, key), factNamed(otherFacts, key)};
        if (difference.thisFact != difference.otherFact) {
            differences << difference;
        }
        // The icon follows the words in the file.
        if (byStructure && key == QLatin1String("word2")) {
            if (const int pixels = differingPixels(these.icon, others.icon); pixels > 0) {
                differences << HeaderDifference{HeaderDifference::kIcon, {}, {}, pixels};
            }
        }
    }
    return differences;
}

// The bytes of this file's header that hold `key`: a text field's bytes (its terminator when
// it is empty), a word's two bytes, a single byte; none for a value derived from others.
std::optional<ByteRange> rangeOf(const QString& key, const AddinHeader& header) {
    const auto text = [](const HeaderField& field) {
        return ByteRange{field.start - 1, qMax(1, field.length())};
    };
    const auto after = [](const HeaderField& field) {
        return ByteRange{field.start + field.length(), 1};
    };
    if (key == QLatin1String("class") || key == QLatin1String("type")) {
        return text(*header.classLine);
    }
    if (key == kAfterClassReturn) {
        return after(*header.classLine);
    }
    if (key == QLatin1String("name")) {
        return text(*header.name);
    }
    if (key == kAfterNameReturn) {
        return after(*header.name);
    }
    if (key == QLatin1String("description")) {
        return text(*header.description);
    }
    if (key == QLatin1String("word1") || key == QLatin1String("word2")) {
        return ByteRange{header.iconStart - (key == QLatin1String("word1") ? 5 : 3), 2};
    }
    return std::nullopt;
}

void appendMark(QList<ByteRange>& marks, const ByteRange& range) {
    if (!range.isEmpty() && (marks.isEmpty() || marks.last() != range)) {
        marks << range;
    }
}

} // namespace

AddinComparison AddinComparison::of(QByteArrayView thisImage, QByteArrayView otherImage) {
    const AddinHeader these = AddinHeader::parse(thisImage);
    const AddinHeader others = AddinHeader::parse(otherImage);
    if (!isAddin(these) || !isAddin(others)) {
        return byPosition(thisImage, otherImage);
    }
    AddinComparison comparison;
    comparison.m_basis = Basis::Structure;
    comparison.m_thisLength = int(thisImage.size());
    comparison.m_otherLength = int(otherImage.size());
    comparison.m_headSize = these.headSize;
    comparison.m_headerDifferences = differingFields(thisImage, these, otherImage, others, true);

    comparison.m_section =
        ComparedSection::of(ComparedSection::Part::Code, thisImage,
                            {these.headSize, int(thisImage.size()) - these.headSize}, otherImage,
                            {others.headSize, int(otherImage.size()) - others.headSize});

    QList<ByteRange>& marks = comparison.m_marks;
    for (const HeaderDifference& difference : std::as_const(comparison.m_headerDifferences)) {
        if (difference.key == HeaderDifference::kIcon) {
            const ByteRange icon{these.iconStart - 1, AddinHeader::kIconBytes};
            const ByteRange otherIcon{others.iconStart - 1, AddinHeader::kIconBytes};
            for (const auto& run : ComparedSection::of(ComparedSection::Part::Whole, thisImage,
                                                       icon, otherImage, otherIcon)
                                       .runs) {
                appendMark(marks, run.inThis());
            }
        } else if (const auto range = rangeOf(difference.key, these)) {
            appendMark(marks, *range);
        }
    }
    for (const ComparedSection::Run& run : std::as_const(comparison.m_section.runs)) {
        marks << run.inThis();
    }
    appendMark(marks, comparison.m_section.thisOnly());
    return comparison;
}

AddinComparison AddinComparison::byPosition(QByteArrayView thisImage, QByteArrayView otherImage) {
    AddinComparison comparison;
    comparison.m_thisLength = int(thisImage.size());
    comparison.m_otherLength = int(otherImage.size());
    comparison.m_headerDifferences =
        differingFields(thisImage, AddinHeader::parse(thisImage), otherImage,
                        AddinHeader::parse(otherImage), false);
    const int common = qMin(comparison.m_thisLength, comparison.m_otherLength);
    // Both over the common part, so that the runs are those of the files' first bytes.
    ComparedSection whole = ComparedSection::of(ComparedSection::Part::Whole, thisImage,
                                                {0, common}, otherImage, {0, common});
    whole.thisRange.length = comparison.m_thisLength;
    whole.otherRange.length = comparison.m_otherLength;
    for (const ComparedSection::Run& run : std::as_const(whole.runs)) {
        comparison.m_marks << run.inThis();
    }
    comparison.m_section = whole;
    return comparison;
}

int AddinComparison::marksInHeader() const {
    return int(std::count_if(m_marks.cbegin(), m_marks.cend(),
                             [this](const ByteRange& mark) { return mark.start < m_headSize; }));
}

bool AddinComparison::same() const {
    return m_headerDifferences.isEmpty() && m_section.same();
}

QString AddinComparison::lengthNote() const {
    if (m_basis == Basis::Structure || m_thisLength == m_otherLength) {
        return {};
    }
    return QStringLiteral("This file has %1 bytes and the other file %2: only the first %3 "
                          "bytes are compared.")
        .arg(m_thisLength)
        .arg(m_otherLength)
        .arg(qMin(m_thisLength, m_otherLength));
}

QList<ByteRange> AddinComparison::marksWithin(const ByteRange& within) const {
    QList<ByteRange> marks;
    for (const ByteRange& mark : m_marks) {
        const ByteRange inside = mark.clippedTo(within);
        if (!inside.isEmpty()) {
            marks << inside;
        }
    }
    return marks;
}

RangeStep AddinComparison::step(const ByteRange& selection, RangeStep::Direction direction,
                                const ByteRange& within) const {
    return RangeStep::among(marksWithin(within), selection, direction);
}

QString AddinComparison::note(const RangeStep& step) {
    return step.range ? step.wrapNote() : kNoDifferences;
}

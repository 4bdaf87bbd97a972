// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeMap.h"

#include "AddinHeader.h"
#include "CodeMapBuilder.h"
#include "CodePadding.h"
#include "SystemCalls.h"

#include <algorithm>

QString SystemCallSite::comment() const {
    if (number == SystemCalls::kExtended && extendedNumber) {
        const QString name = SystemCalls::extendedName(*extendedNumber);
        return name.isEmpty() ? SystemCalls::describe(number, extendedNumber) : name;
    }
    const QString name = SystemCalls::name(number);
    return name.isEmpty() ? SystemCalls::describe(number) : name;
}

CodeMap CodeMap::of(QByteArrayView image, const AddinHeader& header, const CodeMarks& marks,
                    bool toImageEnd, quint16 base) {
    if (!header.complete() || !header.isAddin()) {
        return {};
    }
    const int end = toImageEnd ? int(image.size()) : header.headSize + header.codeSize;
    const CodePadding padding = CodePadding::of(image, header);
    const int codeEnd = padding.padded() ? std::min(padding.codeEnd, end) : end;
    return CodeMapBuilder(image, header.headSize, codeEnd, end, base).build(marks);
}

std::optional<int> CodeMap::offsetOf(quint16 address) const {
    const int distance = quint16(address - m_base);
    return distance < m_end - m_first ? std::optional(m_first + distance) : std::nullopt;
}

int CodeMap::rangeIndexAt(int offset) const {
    if (offset < m_first || offset >= m_end) {
        return -1;
    }
    const auto after =
        std::upper_bound(m_ranges.cbegin(), m_ranges.cend(), offset,
                         [](int wanted, const CodeRange& range) { return wanted < range.start; });
    return int(after - m_ranges.cbegin()) - 1;
}

int CodeMap::labelIndexFrom(int offset) const {
    const auto at =
        std::lower_bound(m_labels.cbegin(), m_labels.cend(), offset,
                         [](const CodeLabel& label, int wanted) { return label.offset < wanted; });
    return int(at - m_labels.cbegin());
}

quint8 CodeMap::labelAt(int offset) const {
    const int index = labelIndexFrom(offset);
    return index < m_labels.size() && m_labels.at(index).offset == offset
               ? m_labels.at(index).reasons
               : 0;
}

const CodeReference* CodeMap::referenceFrom(int from) const {
    const auto at = std::lower_bound(
        m_references.cbegin(), m_references.cend(), from,
        [](const CodeReference& reference, int wanted) { return reference.from < wanted; });
    return at != m_references.cend() && at->from == from ? &*at : nullptr;
}

QList<CodeReference> CodeMap::referencesTo(int start, int end) const {
    const auto first = std::lower_bound(
        m_referencesByTarget.cbegin(), m_referencesByTarget.cend(), start,
        [this](int index, int wanted) { return m_references.at(index).to < wanted; });
    QList<CodeReference> found;
    for (auto it = first; it != m_referencesByTarget.cend() && m_references.at(*it).to < end;
         ++it) {
        found.append(m_references.at(*it));
    }
    std::sort(found.begin(), found.end(),
              [](const CodeReference& a, const CodeReference& b) { return a.from < b.from; });
    return found;
}

const SystemCallSite* CodeMap::systemCallAt(int offset) const {
    const auto at = std::lower_bound(
        m_systemCalls.cbegin(), m_systemCalls.cend(), offset,
        [](const SystemCallSite& site, int wanted) { return site.offset < wanted; });
    return at != m_systemCalls.cend() && at->offset == offset ? &*at : nullptr;
}

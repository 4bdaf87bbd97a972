// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteHighlights.h"

#include <algorithm>
#include <limits>
#include <vector>

const QList<ByteRange>& ByteHighlights::ranges(Kind kind) const {
    return m_ranges.at(size_t(kind));
}

void ByteHighlights::set(Kind kind, QList<ByteRange> ranges) {
    ranges.removeIf([](const ByteRange& range) { return range.isEmpty(); });
    QList<ByteRange>& old = m_ranges.at(size_t(kind));
    // Only the ranges between the same head and the same tail of both lists changed.
    const qsizetype common = std::min(old.size(), ranges.size());
    qsizetype head = 0;
    while (head < common && old[head] == ranges[head]) {
        ++head;
    }
    qsizetype tail = 0;
    while (tail < common - head && old[old.size() - 1 - tail] == ranges[ranges.size() - 1 - tail]) {
        ++tail;
    }
    int start = std::numeric_limits<int>::max();
    int end = std::numeric_limits<int>::min();
    for (const QList<ByteRange>* list : {&old, &ranges}) {
        if (head < list->size() - tail) {
            start = std::min(start, list->at(head).start);
            end = std::max(end, list->at(list->size() - 1 - tail).end());
        }
    }
    old = std::move(ranges);
    if (start < end) {
        emit changed({start, end - start});
    }
}

QList<ByteHighlights::Mark> ByteHighlights::marksWithin(const ByteRange& within) const {
    if (within.isEmpty()) {
        return {};
    }
    // Which range paints each byte: the kinds last in the order first, so that those before
    // them paint over them.
    constexpr int kNone = -1;
    std::vector<int> painter(size_t(within.length), kNone);
    for (int kind = kKinds - 1; kind >= 0; --kind) {
        const QList<ByteRange>& ranges = m_ranges.at(size_t(kind));
        auto range = std::partition_point(ranges.cbegin(), ranges.cend(), [&](const auto& run) {
            return run.end() <= within.start;
        });
        for (; range != ranges.cend() && range->start < within.end(); ++range) {
            const ByteRange here = range->clippedTo(within);
            const int id = int(range - ranges.cbegin()) * kKinds + kind;
            std::fill_n(painter.begin() + (here.start - within.start), here.length, id);
        }
    }
    QList<Mark> marks;
    for (int i = 0; i < within.length;) {
        const int id = painter[size_t(i)];
        int next = i + 1;
        while (next < within.length && painter[size_t(next)] == id) {
            ++next;
        }
        if (id != kNone) {
            marks.append({{within.start + i, next - i}, Kind(id % kKinds)});
        }
        i = next;
    }
    return marks;
}

QList<ByteRange> ByteHighlights::joined(QList<ByteRange> ranges) {
    std::sort(ranges.begin(), ranges.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.start < b.start; });
    QList<ByteRange> result;
    for (const ByteRange& range : ranges) {
        if (!result.isEmpty() && range.start < result.last().end()) {
            ByteRange& last = result.last();
            last.length = std::max(last.end(), range.end()) - last.start;
        } else {
            result.append(range);
        }
    }
    return result;
}

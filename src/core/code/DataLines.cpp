// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataLines.h"

#include "TextRun.h"

#include <algorithm>

namespace {

int runFrom(QByteArrayView image, int at, int end) {
    int stop = at;
    while (stop < end && image[stop] == image[at]) {
        ++stop;
    }
    return stop - at;
}

// The length of the line at `at` of a piece [at, end) that no label breaks.
int lineLength(QByteArrayView image, CodeKind kind, int at, int end, int aligned) {
    const int left = end - at;
    switch (kind) {
    case CodeKind::Code:
        return left;
    case CodeKind::Padding:
        return runFrom(image, at, end);
    case CodeKind::Text: {
        const bool quoted = TextRun::quotable(image[at]);
        const int most =
            std::min(left, quoted ? DataLines::kMostCharacters : DataLines::kMostBytes);
        int length = 1;
        while (length < most && TextRun::quotable(image[at + length]) == quoted) {
            ++length;
        }
        return length;
    }
    case CodeKind::Words:
    case CodeKind::Pointers:
        return left == 1 ? 1 : std::min(left, DataLines::kMostBytes) & ~1;
    case CodeKind::Bytes:
        break;
    }
    if (const int run = runFrom(image, at, end); run >= DataLines::kShortestRun) {
        return run;
    }
    // Up to the next address that is a multiple of eight.
    const int most =
        std::min(left, DataLines::kMostBytes -
                           ((at - aligned) % DataLines::kMostBytes + DataLines::kMostBytes) %
                               DataLines::kMostBytes);
    int length = 1;
    while (length < most && runFrom(image, at + length, end) < DataLines::kShortestRun) {
        ++length;
    }
    return length;
}

} // namespace

namespace DataLines {

QList<std::pair<int, int>> split(QByteArrayView image, CodeKind kind, int start, int end,
                                 const QList<int>& breaks, int aligned) {
    QList<std::pair<int, int>> lines;
    auto next = std::upper_bound(breaks.cbegin(), breaks.cend(), start);
    int at = start;
    while (at < end) {
        const int pieceEnd = next != breaks.cend() && *next < end ? *next : end;
        const int length = lineLength(image, kind, at, pieceEnd, aligned);
        lines.append({at, length});
        at += length;
        while (next != breaks.cend() && *next <= at) {
            ++next;
        }
    }
    return lines;
}

} // namespace DataLines

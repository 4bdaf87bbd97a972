// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeKind.h"

#include <QByteArrayView>
#include <QList>

#include <utility>

// How a run of data is cut into the listing's and the source's lines: a label starts a line;
// text into runs of quotable characters (at most 32) and of other bytes (at most 8); words and
// pointers at most four words a line; bytes at most eight a line, each line ending where an
// address that is a multiple of eight begins, 16 or more of one value as one line; padding a
// line for each run of one value. Lines of bytes keep their places when a byte before them
// changes, so that a listing shown beside an edit changes only where the edit is.
namespace DataLines {

constexpr int kMostCharacters = 32;
constexpr int kMostBytes = 8;
constexpr int kShortestRun = 16;

// The lines of [start, end) of `image`, all of `kind`, as (offset, length); `breaks` are the
// offsets in order where a line must start; `aligned` is an offset whose address is a
// multiple of eight.
QList<std::pair<int, int>> split(QByteArrayView image, CodeKind kind, int start, int end,
                                 const QList<int>& breaks, int aligned);

} // namespace DataLines

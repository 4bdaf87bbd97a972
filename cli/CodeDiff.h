// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ComparedSection.h"

struct AddinHeader;

#include <QByteArray>
#include <QByteArrayView>

// diff's output for the runs of differing bytes, of the code of two add-ins compared by structure
// or of two whole files compared by position, written straight into ASCII bytes: two builds can
// differ in thousands of runs, and a Makefile runs diff often.
namespace CodeDiff {

// Of a run, diff shows at most this many bytes of each side, and how many more there are.
constexpr int kBytesShown = 16;

// A line a run, "$00CD $00CE @$8000    1 byte   00 | 78" (A's offset, B's, the code address,
// the length and at most 16 bytes of each), then the tail only the longer file has:
// "tail: only A has its last byte, from $1FFF (@$9F32): FF".
QByteArray lines(const ComparedSection& code, QByteArrayView a, QByteArrayView b);

// The same as the JSON object "code", indented as QJsonDocument indents a member of the
// document: a_length, a_offset, b_length, b_offset, "runs" and, when one file is longer,
// "tail"; keys in order, as QJsonDocument writes them.
QByteArray json(const ComparedSection& code, QByteArrayView a, QByteArrayView b);

// By position, a line a run: "$00CD @$8000    1 byte   00 | 78" (the offset, the code address
// when the run starts in A's code, read from A's `header`, the length and the bytes).
QByteArray positionLines(const ComparedSection& whole, QByteArrayView a, QByteArrayView b,
                         const AddinHeader& header);

// By position, the JSON array "runs" (a, address when in A's code, b, length, offset), indented
// as QJsonDocument indents a member of the document.
QByteArray positionJson(const ComparedSection& whole, QByteArrayView a, QByteArrayView b,
                        const AddinHeader& header);

} // namespace CodeDiff

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

// Text among an add-in's data: runs of printable ASCII that a zero or line breaks end, as
// compilers and authors store their strings.
namespace TextRun {

constexpr bool printable(char byte) {
    return byte >= ' ' && byte <= '~';
}
// Printable, and neither a double quote nor a backslash: a character both assemblers and the
// listing take inside double quotes as it is.
constexpr bool quotable(char byte) {
    return printable(byte) && byte != '"' && byte != '\\';
}
// The first byte from `at` on, before `limit`, that is not printable.
int printableEnd(QByteArrayView image, int at, int limit);
// Where a text that starts at `at` ends, its zero or last line break included: lines of at
// least three printable characters (two when something
// names the text, `named`), ended by CR or LF in any number, the last by a zero or a line
// break. Unnamed, the first line must be mostly letters, digits and spaces. `at` when no text
// starts there before `limit`.
int endAt(QByteArrayView image, int at, int limit, bool named);

} // namespace TextRun

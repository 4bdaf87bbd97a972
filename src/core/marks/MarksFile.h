// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinMarks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The marks file beside an add-in (mobrin(5)): plain UTF-8 text, one mark a line, in the order
// of their addresses, so that a change of one mark changes one line:
//
//   # Mobrin marks, one a line: see mobrin(5).
//   text     $9113 $9121 ff1ee199
//   label    $9113 05863ec2 msg_restart
//   comment  $9113 05863ec2 Shown when a new game starts
//   bookmark $9113 $913B 346df108 The messages
//
// A kind or a bookmark names its range (the end is the address after it), a label or a
// comment its address; then the digest of the bytes it was made on (the first 8 hex digits of
// their SHA-256: its range, or the 4 bytes from a label's or comment's address), or "-" for
// any bytes; then the name, the comment or the note, which runs to the end of the line. Lines
// starting with "#" are comments, kept with the mark after them; blank lines are ignored.
namespace MarksFile {

// A marks file is read up to this length: far more than any add-in's marks.
constexpr qint64 kMostBytes = 1 << 20;

struct Problem {
    int line = 0; // counted from 1
    QString reason;

    // "line 7: ..."
    QString sentence() const;
};

struct Parsed {
    AddinMarks marks;
    QList<Problem> problems; // in the order of their lines; none when the file is sound

    bool ok() const { return problems.isEmpty(); }
};

// The marks of `text`; a file with any bad line gives its problems, and its marks are not to
// be used.
Parsed parse(QByteArrayView text);
// The file's text. A mark that applies records the digest of its bytes in `image` (whose first
// code byte is at offset `codeStart`) as they are now; one whose bytes changed, what it
// recorded before. Empty when there are no marks.
QByteArray write(const AddinMarks& marks, QByteArrayView image, int codeStart);

// The line of `mark` with `digest` ("-" when empty), without its line feed.
QString lineOf(const Mark& mark, const QString& digest);

// "tafl.rex.marks": where the marks of the add-in at `addinPath` are kept.
QString besidePath(const QString& addinPath);

// Why a comment or a note cannot be kept as it is: it holds a line break, a tab or another
// control character; empty when it can.
QString textProblem(const QString& text);

} // namespace MarksFile

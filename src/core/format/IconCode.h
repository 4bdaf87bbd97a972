// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// An icon as assembler source: 32 lines of ".db" and five "$hh" items, one line per pixel row.
// Every item but the very last is followed by a comma, and every line ends in CR LF, as the
// icon-code window has always written them; asAssembler() gives the same rows in the form
// z80asm and pasmo both assemble.
namespace IconCode {

constexpr int kTextLength = 831;

// Any pixel that is not pure white is a set bit.
QString fromPixels(const QImage& pixels);
// The header's icon bytes, drawn as the icon box draws them on white: the bytes a cut-short
// icon lacks come out as white pixels, whatever the desktop's colours.
QString fromBytes(const QByteArray& icon);
// The rows of `code` (as fromPixels() writes them) as `source` writes the icon: an indented
// "defb" and the five items without a trailing comma, each line ending in a line feed.
QString asAssembler(const QString& code);

} // namespace IconCode

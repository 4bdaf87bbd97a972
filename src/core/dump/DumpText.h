// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The text of the two dump panes and of the address column. Neither pane text has line
// terminators; the panes show them 16 bytes to a line.
namespace DumpText {

constexpr int kBytesPerLine = 16;
constexpr int kHexCharsPerByte = 3;
constexpr int kHexCharsPerLine = kBytesPerLine * kHexCharsPerByte;
constexpr int kLinesInView = 15;

// Two upper-case hex digits and a space per byte.
QString hexText(QByteArrayView range);
// One character per byte: "_" for a space, an en dash for a hyphen-minus, the byte itself
// from 0x21 to 0x7F, "." otherwise.
QString asciiText(QByteArrayView range);
QChar asciiChar(quint8 byte);

// Where the dump starts in an image of `imageSize` bytes: 0, or after a header of `headSize`
// bytes while it is stripped.
int renderedStart(qsizetype imageSize, bool stripHeader, int headSize);
// The bytes a dump shows: the whole image, or the part after a header of `headSize` bytes.
QByteArrayView renderedRange(QByteArrayView image, bool stripHeader, int headSize);

// Four-digit addresses from `start` to `end` in steps of `step`, each followed by one
// carriage return, counted in 16-bit signed arithmetic like the address column always was.
QString addressLines(int start, int end, int step);
// The address column for the 15 lines in view from 1-based visual line `firstLine`.
QString addressLinesFrom(int firstLine);

} // namespace DumpText

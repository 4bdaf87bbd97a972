// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpLines.h"

#include "DumpText.h"

namespace DumpLines {

QStringList of(QByteArrayView range) {
    using namespace DumpText;
    const int lineCount = int((range.size() + kBytesPerLine - 1) / kBytesPerLine);
    if (lineCount == 0) {
        return {};
    }
    const QString hex = hexText(range);
    const QString ascii = asciiText(range);
    const QStringList addresses = addressLines(0, (lineCount - 1) * kBytesPerLine, kBytesPerLine)
                                      .split(QLatin1Char('\r'), Qt::SkipEmptyParts);
    const QString gap(2, QLatin1Char(' '));
    QStringList lines;
    lines.reserve(lineCount);
    for (int line = 0; line < lineCount; ++line) {
        lines << addresses.value(line) + gap +
                     hex.mid(qsizetype(line) * kHexCharsPerLine, kHexCharsPerLine)
                         .leftJustified(kHexCharsPerLine) +
                     gap + ascii.mid(qsizetype(line) * kBytesPerLine, kBytesPerLine);
    }
    return lines;
}

} // namespace DumpLines

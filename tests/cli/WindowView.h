// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DumpText.h"
#include "IconBitmap.h"
#include "IconCode.h"

#include <QByteArrayView>
#include <QStringList>

// What the window shows, built the way the window builds it, for comparison with mobrin-cli.
namespace WindowView {

// The dump's visual lines: the hex and ASCII pane texts cut at their wrapping widths, and the
// address column as it reads for each screenful of 15 lines.
inline QStringList dumpLines(QByteArrayView range) {
    const QString hex = DumpText::hexText(range);
    const QString ascii = DumpText::asciiText(range);
    const int count = int((range.size() + 15) / 16);
    QStringList lines;
    for (int line = 0; line < count; ++line) {
        const QStringList column =
            DumpText::addressLinesFrom(line + 1).split(QLatin1Char('\r'), Qt::SkipEmptyParts);
        lines << column.first() + "  " + hex.mid(48 * line, 48).leftJustified(48) + "  " +
                     ascii.mid(16 * line, 16);
    }
    return lines;
}

// The icon-code window's text: the icon box cleared, painted from the header, read back.
inline QString iconText(const QByteArray& iconBytes) {
    QImage box = IconBitmap::cleared(Qt::white);
    IconBitmap::paint(box, iconBytes);
    return IconCode::fromPixels(box);
}

// mobrin-cli's output split into lines.
inline QStringList printedLines(const QByteArray& out) {
    QStringList lines = QString::fromUtf8(out).split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

} // namespace WindowView

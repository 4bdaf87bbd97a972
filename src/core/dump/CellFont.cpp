// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellFont.h"

#include <QFontMetricsF>
#include <QTextLayout>

namespace CellFont {

namespace {

constexpr int kSmallestPixelSize = 6;

qreal advance(const QFont& font) {
    return QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
}

} // namespace

qreal naturalLineHeight(const QFont& font) {
    QTextLayout probe(QStringLiteral("0"), font);
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLeadingIncluded(true);
    probe.endLayout();
    return line.height();
}

QFont fit(const QFont& base, QSize cell) {
    QFont font = base;
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    int pixels = cell.height();
    for (; pixels > kSmallestPixelSize; --pixels) {
        font.setPixelSize(pixels);
        if (advance(font) <= cell.width() && naturalLineHeight(font) <= cell.height()) {
            break;
        }
    }
    font.setPixelSize(pixels);
    // Advances are whole 64ths of a pixel, so the sum is exactly the cell's width.
    font.setLetterSpacing(QFont::AbsoluteSpacing, cell.width() - advance(font));
    return font;
}

} // namespace CellFont

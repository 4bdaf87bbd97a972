// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellFont.h"

#include <QFontMetricsF>
#include <QRawFont>
#include <QTextLayout>

#include <cmath>

namespace CellFont {

namespace {

constexpr int kSmallestPixelSize = 6;

qreal advance(const QFont& font) {
    return QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
}

// What advance() and naturalLineHeight() give for the same font at `pixels`, measured on a copy
// of an engine already loaded: loading a font at each size asks fontconfig afresh, which costs
// a millisecond or more each time at start-up.
bool fitsAt(QRawFont& raw, quint32 zero, int pixels, QSize cell) {
    raw.setPixelSize(pixels);
    const qreal width = raw.advancesForGlyphIndexes(QList<quint32>{zero}).value(0).x();
    const qreal height =
        std::ceil(raw.ascent() + raw.descent() + std::max<qreal>(0, raw.leading()));
    return width <= cell.width() && height <= cell.height();
}

bool fits(const QFont& font, QSize cell) {
    return advance(font) <= cell.width() && naturalLineHeight(font) <= cell.height();
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
    font.setPixelSize(cell.height());
    // The sizes are tried on copies of one engine; the size found is checked on the font
    // itself, which the panes load anyway, and the search goes on from there should the two
    // ever disagree.
    QRawFont raw = QRawFont::fromFont(font);
    const quint32 zero = raw.glyphIndexesForString(QStringLiteral("0")).value(0);
    int pixels = cell.height();
    if (raw.isValid() && zero != 0) {
        while (pixels > kSmallestPixelSize && !fitsAt(raw, zero, pixels, cell)) {
            --pixels;
        }
    }
    for (; pixels > kSmallestPixelSize; --pixels) {
        font.setPixelSize(pixels);
        if (fits(font, cell)) {
            break;
        }
    }
    font.setPixelSize(pixels);
    // Advances are whole 64ths of a pixel, so the sum is exactly the cell's width.
    font.setLetterSpacing(QFont::AbsoluteSpacing, cell.width() - advance(font));
    return font;
}

} // namespace CellFont

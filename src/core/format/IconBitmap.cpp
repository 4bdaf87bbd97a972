// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconBitmap.h"

#include "AddinHeader.h"
#include "Int2Bin.h"

namespace IconBitmap {

QImage cleared(const QColor& background) {
    QImage pixels(AddinHeader::kIconWidth, AddinHeader::kIconHeight, QImage::Format_RGB32);
    pixels.fill(background);
    return pixels;
}

void paint(QImage& pixels, const QByteArray& icon) {
    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    for (qsizetype i = 0; i < qMin<qsizetype>(icon.size(), AddinHeader::kIconBytes); ++i) {
        const int row = int(i) / AddinHeader::kIconRowBytes;
        const int column = int(i) % AddinHeader::kIconRowBytes;
        const QString bits = Int2Bin(quint8(icon[i]));
        for (int k = 0; k < 8; ++k) {
            pixels.setPixel(8 * column + k, row, bits[k] == QLatin1Char('1') ? black : white);
        }
    }
}

} // namespace IconBitmap

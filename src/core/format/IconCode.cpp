// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconCode.h"

#include "IconBitmap.h"

namespace {

constexpr int kRows = 32;
constexpr int kItemsPerRow = 5;
constexpr char kHexDigits[] = "0123456789ABCDEF";

int byteAt(const QImage& pixels, int row, int item) {
    int value = 0;
    for (int i = 0; i < 8; ++i) {
        const int x = 8 * item + i;
        const bool inside = x < pixels.width() && row < pixels.height();
        // Outside the drawing area there is no white either: it reads as set.
        if (!inside || (pixels.pixel(x, row) & 0xFFFFFF) != 0xFFFFFF) {
            value |= 1 << (7 - i);
        }
    }
    return value;
}

} // namespace

namespace IconCode {

QString fromPixels(const QImage& pixels) {
    QString text;
    text.reserve(kTextLength);
    for (int row = 0; row < kRows; ++row) {
        text += QLatin1String(".db ");
        for (int item = 0; item < kItemsPerRow; ++item) {
            const int value = byteAt(pixels, row, item);
            text += QLatin1Char('$');
            text += QLatin1Char(kHexDigits[value >> 4]);
            text += QLatin1Char(kHexDigits[value & 0x0F]);
            if (item + row < (kRows - 1) + (kItemsPerRow - 1)) {
                text += QLatin1Char(',');
            }
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

QString fromBytes(const QByteArray& icon) {
    QImage pixels = IconBitmap::cleared(Qt::white);
    IconBitmap::paint(pixels, icon);
    return fromPixels(pixels);
}

} // namespace IconCode

// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconCode.h"

#include "IconBitmap.h"
#include "NumberForm.h"

namespace {

constexpr int kRows = 32;
constexpr int kItemsPerRow = 5;
constexpr QLatin1StringView kDbPrefix(".db ");
// "        defb $3C,$00,$FF,$81,$00" and its line feed.
constexpr int kAssemblerLineLength = 8 + 5 + 5 * 3 + 4 + 1;

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
        text += kDbPrefix;
        for (int item = 0; item < kItemsPerRow; ++item) {
            const int value = byteAt(pixels, row, item);
            text += QLatin1Char('$');
            text += QLatin1Char(NumberForm::hexDigit(value >> 4));
            text += QLatin1Char(NumberForm::hexDigit(value));
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

QString asAssembler(const QString& code) {
    QString text;
    text.reserve(qsizetype(kRows) * kAssemblerLineLength);
    for (QStringView line : QStringView(code).split(u"\r\n", Qt::SkipEmptyParts)) {
        if (line.endsWith(QLatin1Char(','))) {
            line.chop(1);
        }
        text += QLatin1String("        defb ");
        text += line.sliced(qMin<qsizetype>(line.size(), kDbPrefix.size()));
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace IconCode

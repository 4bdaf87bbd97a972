// SPDX-License-Identifier: GPL-3.0-or-later
// The icon-code text for any pixels: always 32 ".db" lines of five "$hh" items, 831 characters,
// and for an icon painted from header bytes exactly those bytes back.
#include "FuzzCheck.h"
#include "IconBitmap.h"
#include "IconCode.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QImage>

#include <cstring>

namespace {

constexpr int kRows = 32;
constexpr int kItems = 5;

// The 160 byte values the text lists, after checking its shape character by character.
QList<int> itemsOf(const QString& text) {
    FUZZ_CHECK(text.size() == IconCode::kTextLength);
    QList<int> items;
    qsizetype at = 0;
    for (int row = 0; row < kRows; ++row) {
        FUZZ_CHECK(text.mid(at, 4) == QLatin1String(".db "));
        at += 4;
        for (int item = 0; item < kItems; ++item) {
            FUZZ_CHECK(text[at] == QLatin1Char('$'));
            const QString digits = text.mid(at + 1, 2);
            bool ok = false;
            items.append(digits.toInt(&ok, 16));
            FUZZ_CHECK(ok && digits == digits.toUpper());
            at += 3;
            if (row < kRows - 1 || item < kItems - 1) {
                FUZZ_CHECK(text[at] == QLatin1Char(','));
                ++at;
            }
        }
        FUZZ_CHECK(text.mid(at, 2) == QLatin1String("\r\n"));
        at += 2;
    }
    FUZZ_CHECK(at == text.size());
    return items;
}

void anyPixels(FuzzedDataProvider& in) {
    // Formats whose every stored value is a valid colour (no premultiplied alpha to violate).
    static constexpr QImage::Format kFormats[] = {
        QImage::Format_RGB32,  QImage::Format_ARGB32,     QImage::Format_RGB16,
        QImage::Format_RGB888, QImage::Format_Grayscale8,
    };
    const int width = in.ConsumeIntegralInRange<int>(0, 64);
    const int height = in.ConsumeIntegralInRange<int>(0, 48);
    const QImage::Format format = in.PickValueInArray(kFormats);
    QImage pixels(width, height, format);
    pixels.fill(Qt::white);
    for (int y = 0; y < height && !pixels.isNull(); ++y) {
        const std::string row = in.ConsumeBytesAsString(size_t(pixels.bytesPerLine()));
        std::memcpy(pixels.scanLine(y), row.data(), row.size());
    }
    const QList<int> items = itemsOf(IconCode::fromPixels(pixels));
    // Only pure white is a 0 bit; the area past the pixels counts as set.
    for (int row = 0; row < kRows; ++row) {
        for (int x = 0; x < 8 * kItems; ++x) {
            const bool set = (items[row * kItems + x / 8] >> (7 - x % 8)) & 1;
            const bool inside = x < width && row < height;
            const QColor colour = inside ? pixels.pixelColor(x, row) : QColor();
            const bool white =
                inside && colour.red() == 255 && colour.green() == 255 && colour.blue() == 255;
            FUZZ_CHECK(set == !white);
        }
    }
}

void headerIcon(FuzzedDataProvider& in) {
    const auto red = in.ConsumeIntegral<quint8>();
    const auto green = in.ConsumeIntegral<quint8>();
    const auto blue = in.ConsumeIntegral<quint8>();
    const std::string bytes = in.ConsumeBytesAsString(160);
    const QByteArray icon(bytes.data(), qsizetype(bytes.size()));
    QImage pixels = IconBitmap::cleared(QColor(red, green, blue));
    IconBitmap::paint(pixels, icon);
    const QList<int> items = itemsOf(IconCode::fromPixels(pixels));
    // Painted bytes come back as they were; the rest of the box is its background.
    const bool whiteBackground = red == 255 && green == 255 && blue == 255;
    for (int i = 0; i < kRows * kItems; ++i) {
        const int expected = i < icon.size() ? quint8(icon[i]) : (whiteBackground ? 0x00 : 0xFF);
        FUZZ_CHECK(items[i] == expected);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool()) {
        anyPixels(in);
    } else {
        headerIcon(in);
    }
    return 0;
}

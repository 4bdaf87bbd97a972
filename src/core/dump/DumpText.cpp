// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpText.h"

#include "NumberForm.h"

#include <algorithm>

namespace {

constexpr char16_t kEnDash = 0x2013;

} // namespace

namespace DumpText {

QString hexText(QByteArrayView range) {
    QString text(range.size() * kHexCharsPerByte, Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : range) {
        const auto byte = quint8(c);
        *out++ = QLatin1Char(NumberForm::hexDigit(byte >> 4));
        *out++ = QLatin1Char(NumberForm::hexDigit(byte));
        *out++ = QLatin1Char(' ');
    }
    return text;
}

QChar asciiChar(quint8 byte) {
    if (byte == 0x20) {
        return QLatin1Char('_');
    }
    if (byte == 0x2D) {
        return QChar(kEnDash);
    }
    if (byte >= 0x21 && byte <= 0x7F) {
        return QLatin1Char(char(byte));
    }
    return QLatin1Char('.');
}

QString asciiText(QByteArrayView range) {
    QString text(range.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : range) {
        *out++ = asciiChar(quint8(c));
    }
    return text;
}

int renderedStart(qsizetype imageSize, bool stripHeader, int headSize) {
    return stripHeader && headSize > 0 ? int(std::min<qsizetype>(headSize, imageSize)) : 0;
}

QByteArrayView renderedRange(QByteArrayView image, bool stripHeader, int headSize) {
    return image.sliced(renderedStart(image.size(), stripHeader, headSize));
}

QString addressLines(int start, int end, int step) {
    QString text;
    if (step == 0) {
        return text;
    }
    for (qint32 a = qint16(start); step > 0 ? a <= end : a >= end; a += step) {
        // Past the 16-bit range the column would have overflowed; it ends there instead.
        if (a < -32768 || a > 32767) {
            break;
        }
        text += QString::number(quint16(a), 16).toUpper().rightJustified(4, QLatin1Char('0'));
        text += QLatin1Char('\r');
    }
    return text;
}

QString addressLinesFrom(int firstLine) {
    return addressLines((firstLine - 1) * kBytesPerLine, (firstLine + 13) * kBytesPerLine,
                        kBytesPerLine);
}

} // namespace DumpText

// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodePage.h"

#include <array>

namespace {

// 0x80..0x9F; the unassigned 0x81, 0x8D, 0x8F, 0x90 and 0x9D keep their own number.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

namespace CodePage {

QChar toChar(quint8 byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        return QChar(kHighControlRange[byte - 0x80]);
    }
    return QChar(char16_t(byte));
}

std::optional<quint8> toByte(QChar ch) {
    const char16_t code = ch.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return quint8(code);
    }
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == code) {
            return quint8(0x80 + i);
        }
    }
    return std::nullopt;
}

QString decode(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        text.append(toChar(quint8(byte)));
    }
    return text;
}

std::optional<QString> firstUnencodable(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (toByte(text[i])) {
            continue;
        }
        const bool pair =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        return text.mid(i, pair ? 2 : 1);
    }
    return std::nullopt;
}

QByteArray encode(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        bytes.append(char(toByte(ch).value_or('?')));
    }
    return bytes;
}

} // namespace CodePage

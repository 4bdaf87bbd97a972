// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberForm.h"

namespace NumberForm {

int hexDigitValue(char16_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

QString hexWord(int value) {
    return QLatin1Char('$') + QString::number(value & 0xFFFF, 16).toUpper().rightJustified(4, '0');
}

QString hexPlain(int value) {
    return QLatin1Char('$') + QString::number(value, 16).toUpper();
}

QString decimal(int value) {
    return QString::number(value);
}

QString word(int value, Base base) {
    return base == Base::Hex ? hexWord(value) : decimal(value);
}

QString plain(int value, Base base) {
    return base == Base::Hex ? hexPlain(value) : decimal(value);
}

Base other(Base base) {
    return base == Base::Hex ? Base::Decimal : Base::Hex;
}

std::optional<qint64> parseNumber(QStringView text) {
    constexpr qint64 kCap = 0x7FFFFFFF;
    int base = 10;
    if (text.startsWith(QLatin1Char('$'))) {
        text = text.mid(1);
        base = 16;
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        text = text.mid(2);
        base = 16;
    }
    if (text.isEmpty()) {
        return std::nullopt;
    }
    // Digit by digit: toUInt() would also take a sign, spaces or a second prefix.
    qint64 value = 0;
    for (const QChar ch : text) {
        const int digit = hexDigitValue(ch.unicode());
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
        value = qMin(value * base + digit, kCap);
    }
    return value;
}

std::optional<quint16> parseWord(const QString& text) {
    const auto value = parseNumber(text);
    return value && *value <= 0xFFFF ? std::optional<quint16>(quint16(*value)) : std::nullopt;
}

} // namespace NumberForm

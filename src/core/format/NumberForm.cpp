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

std::optional<quint16> parseWord(const QString& text) {
    QString digits = text;
    int base = 10;
    if (digits.startsWith(QLatin1Char('$'))) {
        digits = digits.mid(1);
        base = 16;
    } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digits = digits.mid(2);
        base = 16;
    }
    // toUInt() would also take a sign, spaces or a second prefix.
    for (const QChar ch : digits) {
        const int digit = hexDigitValue(ch.unicode());
        if (digit < 0 || digit >= base) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const uint value = digits.toUInt(&ok, base);
    return ok && value <= 0xFFFF ? std::optional<quint16>(quint16(value)) : std::nullopt;
}

} // namespace NumberForm

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

QString wordByTag(int value, const QString& tag) {
    return tag == kHexTag ? hexWord(value) : decimal(value);
}

QString plainByTag(int value, const QString& tag) {
    return tag == kHexTag ? hexPlain(value) : decimal(value);
}

int readHexAfterPrefix(const QString& text) {
    int value = 0;
    // Displays never hold more than a 16-bit number; the cap keeps odd text from overflowing.
    for (qsizetype i = 1; i < text.size() && value <= 0xFFFF; ++i) {
        const int digit = hexDigitValue(text[i].unicode());
        if (digit < 0) {
            break;
        }
        value = value * 16 + digit;
    }
    return value;
}

int readDecimal(const QString& text) {
    int value = 0;
    for (const QChar ch : text) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9') || value > 0xFFFF) {
            break;
        }
        value = value * 10 + (ch.unicode() - '0');
    }
    return value;
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

QString toggledText(const QString& text, const QString& tag) {
    return tag.isEmpty() ? hexWord(readDecimal(text)) : decimal(readHexAfterPrefix(text));
}

QString toggledTag(const QString& tag) {
    return tag == kHexTag ? QString() : kHexTag;
}

} // namespace NumberForm

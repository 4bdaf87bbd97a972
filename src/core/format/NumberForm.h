// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The two ways a number is shown: "$" and upper-case hexadecimal digits, or decimal.
namespace NumberForm {

enum class Base { Hex, Decimal };

// "$" and exactly four digits: header words and every value a toggle converts.
QString hexWord(int value);
// "$" and the digits without leading zeros: ORG as parsed and the status panels.
QString hexPlain(int value);
QString decimal(int value);

// hexWord() or decimal(), by `base`.
QString word(int value, Base base);
// hexPlain() or decimal(), by `base`.
QString plain(int value, Base base);
Base other(Base base);

// The upper-case hexadecimal digit of the low four bits of `value`, as every hex text writes it.
constexpr char hexDigit(int value) {
    return "0123456789ABCDEF"[value & 0x0F];
}
// The value of a hexadecimal digit (either case), or -1 for any other character.
int hexDigitValue(char16_t c);
// A number in one of the forms "$1FDF", "0x1FDF" or "8159", nothing else around it; values
// past 0x7FFFFFFF read as 0x7FFFFFFF, so that a caller can still say it is too large.
std::optional<qint64> parseNumber(QStringView text);
// A 16-bit number as the command line takes it: "$1FDF", "0x1FDF" or "8159"; nothing unless it
// is exactly one of these forms and fits 16 bits.
std::optional<quint16> parseWord(const QString& text);

} // namespace NumberForm

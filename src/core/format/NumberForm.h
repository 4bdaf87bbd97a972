// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// The two ways a number is shown: "$" and upper-case hexadecimal digits, or decimal.
// A display's mode lives in its `Tag`: "h" for hexadecimal, empty for decimal.
namespace NumberForm {

inline const QString kHexTag = QStringLiteral("h");

// "$" and exactly four digits: header words and every value a toggle converts.
QString hexWord(int value);
// "$" and the digits without leading zeros: ORG as parsed and the status panels.
QString hexPlain(int value);
QString decimal(int value);

// hexWord() or decimal(), by the display's tag.
QString wordByTag(int value, const QString& tag);
// hexPlain() or decimal(), by the display's tag.
QString plainByTag(int value, const QString& tag);

// The value of a hexadecimal digit (either case), or -1 for any other character.
int hexDigitValue(char16_t c);
// Reads the digits after the first character as hexadecimal, up to the first character that
// is not a hexadecimal digit; no digits read as 0.
int readHexAfterPrefix(const QString& text);
// Reads the leading decimal digits of `text`; none read as 0.
int readDecimal(const QString& text);

// A 16-bit number as the command line takes it: "$1FDF", "0x1FDF" or "8159"; nothing unless it
// is exactly one of these forms and fits 16 bits.
std::optional<quint16> parseWord(const QString& text);

// One click on a toggling box: the text it shows afterwards; the tag flips separately.
QString toggledText(const QString& text, const QString& tag);
QString toggledTag(const QString& tag);

} // namespace NumberForm

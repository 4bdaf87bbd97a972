// SPDX-License-Identifier: GPL-3.0-or-later
#include "BytePattern.h"

#include "CodePage.h"
#include "NumberForm.h"

#include <QList>
#include <QStringList>

#include <array>

namespace {

// Each byte's lower-case letter in Windows-1252, or the byte itself where it has none.
std::array<quint8, 256> lowerCaseTable() {
    std::array<quint8, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        const QChar lower = CodePage::toChar(quint8(byte)).toLower();
        table[std::size_t(byte)] = CodePage::toByte(lower).value_or(quint8(byte));
    }
    return table;
}

quint8 folded(char byte) {
    static const std::array<quint8, 256> table = lowerCaseTable();
    return table[quint8(byte)];
}

BytePattern::Parse refused(const QString& sentence) {
    return {std::nullopt, sentence};
}

QString codePoint(const QString& character) {
    return QString::number(character.toUcs4().value(0), 16)
        .toUpper()
        .rightJustified(4, QLatin1Char('0'));
}

} // namespace

BytePattern::Parse BytePattern::parse(const QString& typed, Mode mode, bool matchCase) {
    return mode == Mode::Text ? fromText(typed, matchCase) : fromHex(typed);
}

BytePattern::Parse BytePattern::fromText(const QString& typed, bool matchCase) {
    if (typed.isEmpty()) {
        return refused(QStringLiteral("Type the text to find."));
    }
    if (const auto character = CodePage::firstUnencodable(typed)) {
        return refused(QStringLiteral("The text cannot hold \"%1\" (U+%2): it has no "
                                      "Windows-1252 code.")
                           .arg(*character, codePoint(*character)));
    }
    BytePattern pattern;
    pattern.m_matchCase = matchCase;
    pattern.m_bytes = CodePage::encode(typed);
    if (!matchCase) {
        for (char& byte : pattern.m_bytes) {
            byte = char(folded(byte));
        }
    }
    pattern.m_anyByte = QByteArray(pattern.m_bytes.size(), '\0');
    return {pattern, {}};
}

BytePattern::Parse BytePattern::fromHex(const QString& typed) {
    BytePattern pattern;
    // A group is what stands between spaces (or tabs); every group must be whole pairs.
    for (const QString& group : typed.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        for (const QChar ch : group) {
            if (ch != QLatin1Char('?') && NumberForm::hexDigitValue(ch.unicode()) < 0) {
                return refused(QStringLiteral("\"%1\" is not a hex digit: write each byte as "
                                              "two digits 0-9 or A-F, or ?? for any byte.")
                                   .arg(ch));
            }
        }
        if (group.size() % 2 != 0) {
            return refused(QStringLiteral("\"%1\" has an odd number of digits: write each "
                                          "byte as two digits, like 0C.")
                               .arg(group));
        }
        for (qsizetype i = 0; i < group.size(); i += 2) {
            const QChar high = group[i];
            const QChar low = group[i + 1];
            const bool highAny = high == QLatin1Char('?');
            if (highAny != (low == QLatin1Char('?'))) {
                return refused(QStringLiteral("\"%1%2\" is half a wildcard: ?? stands for any "
                                              "byte, and a byte cannot be half known.")
                                   .arg(high, low));
            }
            const int value = highAny ? 0
                                      : NumberForm::hexDigitValue(high.unicode()) * 16 +
                                            NumberForm::hexDigitValue(low.unicode());
            pattern.m_bytes.append(char(value));
            pattern.m_anyByte.append(char(highAny));
        }
    }
    if (pattern.m_bytes.isEmpty()) {
        return refused(QStringLiteral("Type the bytes to find as hex pairs, like CD ?? 9B."));
    }
    if (!pattern.m_anyByte.contains('\0')) {
        return refused(QStringLiteral("?? alone matches every byte: give at least one byte "
                                      "as two hex digits."));
    }
    return {pattern, {}};
}

bool BytePattern::matchesAt(QByteArrayView bytes, int offset) const {
    const char* here = bytes.data() + offset;
    for (qsizetype i = 0; i < m_bytes.size(); ++i) {
        if (m_anyByte[i] != 0) {
            continue;
        }
        const char byte = m_matchCase ? here[i] : char(folded(here[i]));
        if (byte != m_bytes[i]) {
            return false;
        }
    }
    return true;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What Find looks for: a run of bytes, each either one given byte, one letter in either case
// (text without "Match case") or any byte at all (`??` in a byte pattern). Text is encoded to
// Windows-1252, as the header is; case follows the same code page, so "é" finds "É" and "š"
// finds "Š".
class BytePattern {
public:
    enum class Mode { Text, Bytes };

    // The find box's check box for text.
    static inline const QString kMatchCaseLabel = QStringLiteral("Match case");

    struct Parse;

    // Text: any characters that Windows-1252 can hold. Bytes: pairs of hex digits (either
    // case) or `??`, spaces allowed between pairs, at least one pair that is not `??`.
    // `matchCase` applies to text alone.
    static Parse parse(const QString& typed, Mode mode, bool matchCase);

    int length() const { return int(m_bytes.size()); }
    // Whether the pattern matches `bytes` from `offset`; the pattern must fit there.
    bool matchesAt(QByteArrayView bytes, int offset) const;

private:
    BytePattern() = default; // patterns come from parse() alone, never empty

    static Parse fromText(const QString& typed, bool matchCase);
    static Parse fromHex(const QString& typed);

    QByteArray m_bytes;      // the bytes to match, folded to lower case unless m_matchCase
    QByteArray m_anyByte;    // 1 where any byte matches, else 0; as long as m_bytes
    bool m_matchCase = true; // bytes in text without "Match case" compare folded
};

// A pattern, or the sentence that refuses what was typed; exactly one of the two is set.
struct BytePattern::Parse {
    std::optional<BytePattern> pattern;
    QString refusal;
};

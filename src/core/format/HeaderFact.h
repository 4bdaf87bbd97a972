// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"

#include <QList>
#include <QString>

// One header field as `info` prints it and the comparison lists it: every field the parser
// read in full, in the window's order, then the file size.
struct HeaderFact {
    enum class Kind {
        Text,    // class, type, name, description
        Word,    // the header words: "$" and four hex digits, like Aw1 and Aw2
        Number,  // ORG and the file size: "$" and hex digits without leading zeros
        Decimal, // header size and code size: always decimal, like Ahead and Acode
    };

    QString key;
    Kind kind = Kind::Text;
    QString text;
    int number = 0;

    bool operator==(const HeaderFact&) const = default;

    // The value as the window shows it: a text as it is, a number in the window's hexadecimal
    // form for its kind (`hex`) or in decimal; header and code size are decimal either way.
    QString valueText(bool hex) const;

    static QList<HeaderFact> listOf(const AddinHeader& header, qsizetype fileSize);
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The lines of `info`: every header field the parser read in full, in the window's order,
// then the file size.
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
};

namespace HeaderFacts {

QList<HeaderFact> of(const AddinHeader& header, qsizetype fileSize);

// "key: value" lines; numbers in the window's hexadecimal forms or all in decimal. Control
// characters and backslashes in texts are escaped (\xHH, \\) so that each fact is one line.
QString asText(const QList<HeaderFact>& facts, bool hex);
// One JSON object: texts as strings, numbers as numbers, and "problem" when it is not empty.
QByteArray asJson(const QList<HeaderFact>& facts, const QString& problem);

} // namespace HeaderFacts

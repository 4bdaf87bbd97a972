// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"
#include "HeaderFact.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>

// The lines of `info`: the header facts (HeaderFact::listOf) as text or as JSON.
namespace HeaderFacts {

inline QList<HeaderFact> of(const AddinHeader& header, qsizetype fileSize) {
    return HeaderFact::listOf(header, fileSize);
}

// A fact's value on a line: HeaderFact::valueText() with control characters and backslashes
// in texts escaped (\xHH, \\), so that each fact stays one line.
QString valueLine(const HeaderFact& fact, bool hex);
// "key: value" lines; numbers in the window's hexadecimal forms or all in decimal.
QString asText(const QList<HeaderFact>& facts, bool hex);
// A fact's value in JSON: a text as a string, a number as a number.
QJsonValue asJsonValue(const HeaderFact& fact);
// One JSON object: texts as strings, numbers as numbers, and "problem" when it is not empty.
QByteArray asJson(const QList<HeaderFact>& facts, const QString& problem);

} // namespace HeaderFacts

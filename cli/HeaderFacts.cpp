// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderFacts.h"

#include "CliOutput.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace HeaderFacts {

QString valueLine(const HeaderFact& fact, bool hex) {
    return fact.kind == HeaderFact::Kind::Text ? CliOutput::escaped(fact.text)
                                               : fact.valueText(hex);
}

QString asText(const QList<HeaderFact>& facts, bool hex) {
    QString text;
    for (const HeaderFact& fact : facts) {
        text += fact.key + QLatin1String(": ") + valueLine(fact, hex) + QLatin1Char('\n');
    }
    return text;
}

QJsonValue asJsonValue(const HeaderFact& fact) {
    return fact.kind == HeaderFact::Kind::Text ? QJsonValue(fact.text) : QJsonValue(fact.number);
}

QByteArray asJson(const QList<HeaderFact>& facts, const QString& problem) {
    QJsonObject object;
    for (const HeaderFact& fact : facts) {
        object.insert(fact.key, asJsonValue(fact));
    }
    if (!problem.isEmpty()) {
        object.insert(QStringLiteral("problem"), problem);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace HeaderFacts

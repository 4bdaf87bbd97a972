// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderFacts.h"

#include "CliOutput.h"
#include "NumberForm.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

HeaderFact textFact(const char* key, const QString& text) {
    return {QLatin1String(key), HeaderFact::Kind::Text, text, 0};
}

HeaderFact numberFact(const char* key, HeaderFact::Kind kind, int number) {
    return {QLatin1String(key), kind, QString(), number};
}

// A field counts as read only when its terminator was found; the rest of a damaged header
// would be whatever bytes happen to follow.
bool readInFull(const std::optional<HeaderField>& field) {
    return field && field->terminated;
}

QString valueText(const HeaderFact& fact, bool hex) {
    const NumberForm::Base base = hex ? NumberForm::Base::Hex : NumberForm::Base::Decimal;
    switch (fact.kind) {
    case HeaderFact::Kind::Text:
        return CliOutput::escaped(fact.text);
    case HeaderFact::Kind::Word:
        return NumberForm::word(fact.number, base);
    case HeaderFact::Kind::Number:
        return NumberForm::plain(fact.number, base);
    case HeaderFact::Kind::Decimal:
        return NumberForm::decimal(fact.number);
    }
    return {};
}

} // namespace

namespace HeaderFacts {

QList<HeaderFact> of(const AddinHeader& header, qsizetype fileSize) {
    using Kind = HeaderFact::Kind;
    QList<HeaderFact> facts;
    if (readInFull(header.classLine)) {
        facts << textFact("class", header.classLine->text());
    }
    if (header.addinType) {
        facts << textFact("type", *header.addinType);
    }
    if (readInFull(header.name)) {
        facts << textFact("name", header.name->text());
    }
    if (readInFull(header.description)) {
        facts << textFact("description", header.description->text());
    }
    if (header.word1) {
        facts << numberFact("word1", Kind::Word, *header.word1);
    }
    if (header.word2) {
        facts << numberFact("word2", Kind::Word, *header.word2);
    }
    if (header.headSize > 0) {
        facts << numberFact("header_size", Kind::Decimal, header.headSize);
    }
    if (header.complete() && header.isAddin()) {
        facts << numberFact("org", Kind::Number, header.org);
        facts << numberFact("code_size", Kind::Decimal, header.codeSize);
    }
    facts << numberFact("file_size", Kind::Number, int(fileSize));
    return facts;
}

QString asText(const QList<HeaderFact>& facts, bool hex) {
    QString text;
    for (const HeaderFact& fact : facts) {
        text += fact.key + QLatin1String(": ") + valueText(fact, hex) + QLatin1Char('\n');
    }
    return text;
}

QByteArray asJson(const QList<HeaderFact>& facts, const QString& problem) {
    QJsonObject object;
    for (const HeaderFact& fact : facts) {
        if (fact.kind == HeaderFact::Kind::Text) {
            object.insert(fact.key, fact.text);
        } else {
            object.insert(fact.key, fact.number);
        }
    }
    if (!problem.isEmpty()) {
        object.insert(QStringLiteral("problem"), problem);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

} // namespace HeaderFacts

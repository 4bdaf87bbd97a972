// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderFact.h"

#include "NumberForm.h"

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

} // namespace

QString HeaderFact::valueText(bool hex) const {
    const NumberForm::Base base = hex ? NumberForm::Base::Hex : NumberForm::Base::Decimal;
    switch (kind) {
    case Kind::Text:
        return text;
    case Kind::Word:
        return NumberForm::word(number, base);
    case Kind::Number:
        return NumberForm::plain(number, base);
    case Kind::Decimal:
        return NumberForm::decimal(number);
    }
    return {};
}

QList<HeaderFact> HeaderFact::listOf(const AddinHeader& header, qsizetype fileSize) {
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

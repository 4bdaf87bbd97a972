// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderPatch.h"

#include "CodePage.h"

#include <QList>

namespace {

QString codePoint(const QString& character) {
    return QStringLiteral("U+") + QString::number(character.toUcs4().value(0), 16)
                                      .toUpper()
                                      .rightJustified(4, QLatin1Char('0'));
}

} // namespace

QString HeaderPatch::problem(const QString& fieldName) const {
    switch (outcome) {
    case Outcome::Written:
        return {};
    case Outcome::EmptyField:
        return QStringLiteral("The %1 field is empty, so it has no bytes to patch.").arg(fieldName);
    case Outcome::TooLong:
        return QStringLiteral("The new %1 has %2 characters, but its field holds %3.")
            .arg(fieldName)
            .arg(textLength)
            .arg(fieldLength);
    case Outcome::Unencodable:
        return QStringLiteral("The character \"%1\" (%2) cannot be stored in an add-in header: "
                              "it has no Windows-1252 code.")
            .arg(character, codePoint(character));
    case Outcome::OutsideImage:
        return QStringLiteral("The %1 field lies outside the file.").arg(fieldName);
    case Outcome::EndsField:
        return QStringLiteral(
                   "The character %1 would end the field early, so it cannot be stored there.")
            .arg(codePoint(character));
    }
    return {};
}

HeaderPatch HeaderPatch::apply(QByteArray& image, int fieldStart, int fieldLength,
                               const QString& text) {
    HeaderPatch result;
    result.textLength = int(text.size());
    result.fieldLength = fieldLength;
    if (fieldLength <= 0) {
        result.outcome = Outcome::EmptyField;
        return result;
    }
    if (fieldStart < 1 || qsizetype(fieldStart) + fieldLength - 1 > image.size()) {
        result.outcome = Outcome::OutsideImage;
        return result;
    }
    // Checked as a whole first, so that a refused text leaves no byte written.
    if (const auto bad = CodePage::firstUnencodable(text)) {
        result.outcome = Outcome::Unencodable;
        result.character = *bad;
        return result;
    }
    if (text.size() > fieldLength) {
        result.outcome = Outcome::TooLong;
        return result;
    }
    QByteArray bytes = CodePage::encode(text);
    // The terminator inside the field (a pasted line break in the name, a zero character in
    // the description) would end the field there: the next parse would move everything after.
    const qsizetype end = qsizetype(fieldStart) - 1 + fieldLength;
    if (end < image.size()) {
        const qsizetype at = bytes.indexOf(image[end]);
        if (at >= 0) {
            result.outcome = Outcome::EndsField;
            result.character = text.mid(at, 1);
            return result;
        }
    }
    bytes.append(fieldLength - bytes.size(), ' ');
    image.replace(fieldStart - 1, fieldLength, bytes);
    return result;
}

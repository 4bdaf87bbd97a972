// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderPatch.h"

#include "CodePage.h"

HeaderPatch HeaderPatch::apply(QByteArray& image, int fieldStart, int fieldLength,
                               const QString& text) {
    HeaderPatch result;
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinParts.h"

#include "AddinImage.h"
#include "CodePage.h"

#include <QList>

namespace {

constexpr int kSignatureLength = AddinHeader::kSignatureLength;

QString codePoint(const QString& character) {
    return QLatin1String("U+") + QString::number(character.toUcs4().value(0), 16)
                                     .toUpper()
                                     .rightJustified(4, QLatin1Char('0'));
}

// The byte that ends each text field, and the word the sentences call it by.
struct TextField {
    char terminator;
    const char* label;
};

TextField fieldOf(AddinParts::Text which) {
    switch (which) {
    case AddinParts::Text::Class:
        return {AddinHeader::kCarriageReturn, "class"};
    case AddinParts::Text::Name:
        return {AddinHeader::kCarriageReturn, "name"};
    case AddinParts::Text::Description:
        return {'\0', "description"};
    }
    return {'\0', ""};
}

} // namespace

AddinParts AddinParts::of(QByteArrayView image, const AddinHeader& header) {
    AddinParts parts;
    parts.classText = header.classLine->bytes;
    parts.name = header.name->bytes;
    parts.description = header.description->bytes;
    parts.word1 = *header.word1;
    parts.word2 = *header.word2;
    parts.icon = header.icon;
    // Field starts are image indexes (from 1): the byte after a field's carriage return is
    // at the 0-based offset start + length.
    parts.afterClassReturn = quint8(image[header.classLine->start + header.classLine->length()]);
    parts.afterNameReturn = quint8(image[header.name->start + header.name->length()]);
    parts.code = image.sliced(header.headSize, header.codeSize).toByteArray();
    parts.fileLength = int(image.size());
    return parts;
}

QString AddinParts::setText(Text which, const QString& text) {
    const TextField field = fieldOf(which);
    const QString label = QLatin1String(field.label);
    if (const auto bad = CodePage::firstUnencodable(text)) {
        return QStringLiteral("the %1 cannot hold \"%2\" (%3): it has no Windows-1252 code")
            .arg(label, *bad, codePoint(*bad));
    }
    const QByteArray bytes = CodePage::encode(text);
    if (const qsizetype at = bytes.indexOf(field.terminator); at >= 0) {
        return QStringLiteral("the %1 cannot hold %2: that character would end the field early")
            .arg(label, codePoint(text.mid(at, 1)));
    }
    switch (which) {
    case Text::Class: {
        // The type is what the parser compares: the text after the last ':', upper-cased.
        const QString type = text.mid(text.lastIndexOf(QLatin1Char(':')) + 1).toUpper();
        if (type != QLatin1String("ADDIN")) {
            return QStringLiteral("the class \"%1\" has the type \"%2\", not \"ADDIN\"")
                .arg(text, type);
        }
        classText = bytes;
        break;
    }
    case Text::Name:
        name = bytes;
        break;
    case Text::Description:
        description = bytes;
        break;
    }
    return {};
}

int AddinParts::headerLength() const {
    // The signature, class CR LF, name CR LF, description NUL, two words, the icon.
    return kSignatureLength + int(classText.size()) + 2 + int(name.size()) + 2 +
           int(description.size()) + 1 + 4 + AddinHeader::kIconBytes;
}

int AddinParts::newFileLength(bool pad) const {
    const int natural = naturalLength();
    return pad ? qMax(natural, int(AddinImage::kPaddedSize)) : natural;
}

QString AddinParts::problem() const {
    const int natural = naturalLength();
    const int most = int(AddinImage::kMaxFileSize);
    if (natural > most) {
        return QStringLiteral("the header (%1 bytes) and the code (%2 bytes) make %3 bytes, %4 "
                              "more than the %5 an add-in may have")
            .arg(headerLength())
            .arg(code.size())
            .arg(natural)
            .arg(natural - most)
            .arg(most);
    }
    if (fileLength > most) {
        return QStringLiteral("the file length %1 is over the %2 bytes an add-in may have")
            .arg(fileLength)
            .arg(most);
    }
    if (fileLength < natural) {
        return QStringLiteral("the file length %1 is shorter than the header and the code "
                              "(%2 bytes)")
            .arg(fileLength)
            .arg(natural);
    }
    return {};
}

QByteArray AddinParts::bytes() const {
    QByteArray file = buildAddinHeader(classText, name, description, word1, word2, icon);
    const qsizetype afterClass = kSignatureLength + classText.size() + 1;
    file[afterClass] = char(afterClassReturn);
    file[afterClass + 1 + name.size() + 1] = char(afterNameReturn);
    file += code;
    if (file.size() < fileLength) {
        file.append(fileLength - file.size(), AddinImage::kPadByte);
    }
    return file;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"

#include "CodePage.h"

namespace {

constexpr char kSignature[] = "ApplicationName:";
constexpr int kFirstOrgBase = 32770; // the code's first byte loads at 0x8000 (32768)

// Reads bytes from image index `start` up to the next `terminator`.
HeaderField readField(QByteArrayView image, int start, char terminator) {
    HeaderField field;
    field.start = start;
    for (qsizetype offset = start - 1; offset >= 0 && offset < image.size(); ++offset) {
        if (image[offset] == terminator) {
            field.terminated = true;
            break;
        }
        field.bytes.append(image[offset]);
    }
    return field;
}

quint16 wordAt(QByteArrayView image, int index) {
    return quint16(quint8(image[index - 1]) | (quint8(image[index]) << 8));
}

// The index of the last byte after the header that is not 0xFF, minus the header size.
int approximateCodeSize(QByteArrayView image, int headSize) {
    for (qsizetype index = image.size(); index > headSize; --index) {
        if (quint8(image[index - 1]) != 0xFF) {
            return int(index) - headSize;
        }
    }
    return 0;
}

} // namespace

QString HeaderField::text() const {
    return CodePage::decode(bytes);
}

bool AddinHeader::signatureOk() const {
    return problem != HeaderProblem::NoSignature && problem != HeaderProblem::ShorterThanSignature;
}

AddinHeader AddinHeader::parse(QByteArrayView image) {
    AddinHeader header;
    const QByteArrayView signature(kSignature, kSignatureLength);
    if (image.size() < kSignatureLength) {
        header.problem = signature.startsWith(image) ? HeaderProblem::ShorterThanSignature
                                                     : HeaderProblem::NoSignature;
        return header;
    }
    if (image.first(kSignatureLength) != signature) {
        header.problem = HeaderProblem::NoSignature;
        return header;
    }

    header.classLine = readField(image, kSignatureLength + 1, kCarriageReturn);
    if (!header.classLine->terminated) {
        header.problem = HeaderProblem::ClassUnterminated;
        return header;
    }
    const QString classText = header.classLine->text();
    header.addinType = classText.mid(classText.lastIndexOf(QLatin1Char(':')) + 1).toUpper();
    const int classEnd = header.classLine->start + header.classLine->length();
    if (!header.isAddin()) {
        // The class line with its line feed is the whole header; a header size past the end
        // of the image would claim bytes the file does not have.
        if (classEnd + 1 > image.size()) {
            header.problem = HeaderProblem::ClassLineTruncated;
            return header;
        }
        header.headSize = classEnd + 1;
        return header;
    }

    // The line feed after each carriage return is passed over unexamined.
    header.name = readField(image, classEnd + 2, kCarriageReturn);
    if (!header.name->terminated) {
        header.problem = HeaderProblem::NameUnterminated;
        return header;
    }
    header.description = readField(image, header.name->start + header.name->length() + 2, '\0');
    if (!header.description->terminated) {
        header.problem = HeaderProblem::DescriptionUnterminated;
        return header;
    }

    const int zeroIndex = header.description->start + header.description->length();
    if (zeroIndex + 2 <= image.size()) {
        header.word1 = wordAt(image, zeroIndex + 1);
    }
    if (zeroIndex + 4 <= image.size()) {
        header.word2 = wordAt(image, zeroIndex + 3);
    }
    if (!header.word2) {
        header.problem = HeaderProblem::WordsTruncated;
        return header;
    }

    header.iconStart = zeroIndex + 5;
    header.icon = image.sliced(header.iconStart - 1)
                      .first(qMin<qsizetype>(kIconBytes, image.size() - header.iconStart + 1))
                      .toByteArray();
    if (header.icon.size() < kIconBytes) {
        header.problem = HeaderProblem::IconTruncated;
        return header;
    }

    header.headSize = header.iconStart + kIconBytes - 1;
    header.org = kFirstOrgBase - header.headSize;
    header.codeSize = approximateCodeSize(image, header.headSize);
    return header;
}

QString AddinHeader::problemText() const {
    switch (problem) {
    case HeaderProblem::None:
        return {};
    case HeaderProblem::NoSignature:
        return QStringLiteral("Not a REX AddIn file");
    case HeaderProblem::ShorterThanSignature:
        return QStringLiteral("The add-in header is damaged: the file ends before its first "
                              "line \"ApplicationName:\" is complete.");
    case HeaderProblem::ClassUnterminated:
        return QStringLiteral("The add-in header is damaged: the class line has no end "
                              "(no carriage return before the end of the file).");
    case HeaderProblem::ClassLineTruncated:
        return QStringLiteral("The add-in header is damaged: the file ends right after the "
                              "class line, before its line feed.");
    case HeaderProblem::NameUnterminated:
        return QStringLiteral("The add-in header is damaged: the name has no end "
                              "(no carriage return before the end of the file).");
    case HeaderProblem::DescriptionUnterminated:
        return QStringLiteral("The add-in header is damaged: the description has no end "
                              "(no zero byte before the end of the file).");
    case HeaderProblem::WordsTruncated:
        return QStringLiteral("The add-in header is damaged: the file ends inside the two "
                              "header words.");
    case HeaderProblem::IconTruncated:
        return QStringLiteral("The add-in header is damaged: the file ends inside the icon.");
    }
    return {};
}

QByteArray buildAddinHeader(const QByteArray& classText, const QByteArray& name,
                            const QByteArray& description, quint16 word1, quint16 word2,
                            const QByteArray& icon) {
    QByteArray bytes(kSignature);
    bytes += classText;
    bytes += AddinHeader::kCarriageReturn;
    bytes += AddinHeader::kLineFeed;
    bytes += name;
    bytes += AddinHeader::kCarriageReturn;
    bytes += AddinHeader::kLineFeed;
    bytes += description;
    bytes += '\0';
    bytes += char(word1 & 0xFF);
    bytes += char(word1 >> 8);
    bytes += char(word2 & 0xFF);
    bytes += char(word2 >> 8);
    QByteArray iconBytes = icon.left(AddinHeader::kIconBytes);
    iconBytes.append(AddinHeader::kIconBytes - iconBytes.size(), '\0');
    bytes += iconBytes;
    return bytes;
}

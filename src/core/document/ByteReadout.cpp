// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteReadout.h"

#include "AddinDocument.h"
#include "CodeListing.h"
#include "CodePage.h"
#include "NumberForm.h"

namespace {

// Image indexes from `first` to `last` (1-based, inclusive) hold `index`.
bool within(int index, int first, int last) {
    return index >= first && index <= last;
}

QString textFieldAt(const std::optional<HeaderField>& field, int index, const QString& name,
                    const QString& end, int endLength) {
    if (!field) {
        return {};
    }
    const int last = field->start + field->length() - 1;
    if (within(index, field->start, last)) {
        return name;
    }
    if (field->terminated && within(index, last + 1, last + endLength)) {
        return end;
    }
    return {};
}

} // namespace

QString ByteReadout::fieldAt(const AddinDocument& document, int offset) {
    const AddinHeader& header = document.header();
    const int index = offset + 1;
    if (!header.signatureOk()) {
        return QStringLiteral("no header");
    }
    if (within(index, 1, AddinHeader::kSignatureLength)) {
        return QStringLiteral("signature");
    }
    // Each line ends in a carriage return and the byte after it; the description in a zero.
    for (const QString& name :
         {textFieldAt(header.classLine, index, QStringLiteral("class"),
                      QStringLiteral("end of the class line"), 2),
          textFieldAt(header.name, index, QStringLiteral("name"),
                      QStringLiteral("end of the name line"), 2),
          textFieldAt(header.description, index, QStringLiteral("description"),
                      QStringLiteral("end of the description"), 1)}) {
        if (!name.isEmpty()) {
            return name;
        }
    }
    if (header.description && header.description->terminated) {
        const int zero = header.description->start + header.description->length();
        if (within(index, zero + 1, zero + 2)) {
            return QStringLiteral("word 1");
        }
        if (within(index, zero + 3, zero + 4)) {
            return QStringLiteral("word 2");
        }
    }
    if (header.iconStart > 0 &&
        within(index, header.iconStart, header.iconStart + AddinHeader::kIconBytes - 1)) {
        return QStringLiteral("icon row %1")
            .arg((index - header.iconStart) / AddinHeader::kIconRowBytes + 1);
    }
    if (header.headSize > 0 && index > header.headSize) {
        return document.isCompleteAddin() ? QStringLiteral("code")
                                          : QStringLiteral("after the header");
    }
    return QStringLiteral("damaged header");
}

ByteReadout ByteReadout::at(const AddinDocument& document, int offset, int dumpStart) {
    const QByteArray& image = document.image().bytes();
    ByteReadout result;
    result.offset = offset;
    if (dumpStart != 0) {
        result.dumpOffset = offset - dumpStart;
    }
    result.field = fieldAt(document, offset);
    if (offset < 0 || offset >= image.size()) {
        return result;
    }
    const quint8 byte = quint8(image[offset]);
    result.byte = byte;
    // A control code or a blank would show as a box or as nothing at all: named instead.
    const QChar character = CodePage::toChar(byte);
    if (byte == 0x20) {
        result.character = QStringLiteral("space");
    } else if (byte == 0xA0) {
        result.character = QStringLiteral("no-break space");
    } else if (byte == 0xAD) {
        result.character = QStringLiteral("soft hyphen");
    } else if (!character.isPrint()) {
        result.character = QStringLiteral("control code");
    } else {
        result.character = character;
    }
    if (offset + 1 < image.size()) {
        const quint8 next = quint8(image[offset + 1]);
        result.little16 = quint16(byte | (next << 8));
        result.big16 = quint16((byte << 8) | next);
    }
    const int headSize = document.header().headSize;
    if (document.isCompleteAddin() && offset >= headSize) {
        const auto address = quint16(CodeListing::kDefaultBase + (offset - headSize));
        result.codeAddress = address;
        const CodeListing listing = CodeListing::ofRange(
            image, offset, int(qMin<qsizetype>(offset + CodeInstruction::kMaxLength, image.size())),
            address);
        if (!listing.isEmpty()) {
            result.instruction = listing.instructionText(0).toString();
        }
    }
    return result;
}

QString ByteReadout::valueText(Value value) const {
    switch (value) {
    case Value::Unsigned8:
        return byte ? QString::number(*byte) : QString();
    case Value::Signed8:
        return byte ? QString::number(qint8(*byte)) : QString();
    case Value::Little16:
        return little16 ? QString::number(*little16) : QString();
    case Value::Big16:
        return big16 ? QString::number(*big16) : QString();
    }
    return {};
}

QString ByteReadout::binaryText() const {
    return byte ? QStringLiteral("%1").arg(*byte, 8, 2, QLatin1Char('0')) : QString();
}

int ByteReadout::width(Value value) {
    return value == Value::Little16 || value == Value::Big16 ? 2 : 1;
}

std::variant<QByteArray, QString> ByteReadout::bytesFor(Value value, const QString& typed) {
    const QString text = typed.trimmed();
    const bool negative = text.startsWith(QLatin1Char('-'));
    const std::optional<qint64> magnitude = NumberForm::parseNumber(negative ? text.mid(1) : text);
    const int bits = 8 * width(value);
    const qint64 lowest = -(qint64(1) << (bits - 1));
    const qint64 highest = (qint64(1) << bits) - 1;
    const qint64 number = magnitude ? (negative ? -*magnitude : *magnitude) : 0;
    if (!magnitude || number < lowest || number > highest) {
        return QStringLiteral("\u201C%1\u201D is not a %2-bit value: type %3 to %4, or $0 to $%5.")
            .arg(text)
            .arg(bits)
            .arg(lowest)
            .arg(highest)
            .arg(QString::number(highest, 16).toUpper());
    }
    const auto bitsOf = quint16(number & highest);
    const char low = char(bitsOf & 0xFF);
    const char high = char(bitsOf >> 8);
    switch (value) {
    case Value::Unsigned8:
    case Value::Signed8:
        return QByteArray(1, low);
    case Value::Little16:
        return QByteArray(1, low).append(high);
    case Value::Big16:
        return QByteArray(1, high).append(low);
    }
    return QByteArray();
}

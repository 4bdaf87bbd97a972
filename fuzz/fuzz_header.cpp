// SPDX-License-Identifier: GPL-3.0-or-later
// The header parser on arbitrary bytes: whatever it reports lies inside the image and is the
// image's own bytes, and a complete header is rebuilt byte for byte by buildAddinHeader.
#include "AddinHeader.h"
#include "FuzzCheck.h"

#include <cstdint>

namespace {

constexpr char kCarriageReturn = 0x0D;
const QByteArrayView kSignature("ApplicationName:");

// The field's bytes are the image's bytes at its place, and its terminator (when found) is the
// byte right after them; an unterminated field ran up to the end of the image.
void checkField(QByteArrayView image, const HeaderField& field, char terminator) {
    FUZZ_CHECK(field.start >= 1);
    const qsizetype first = field.start - 1;
    FUZZ_CHECK(!field.bytes.contains(terminator));
    if (field.length() > 0) {
        FUZZ_CHECK(first + field.length() <= image.size());
        FUZZ_CHECK(image.sliced(first, field.length()) == field.bytes);
    }
    if (field.terminated) {
        FUZZ_CHECK(first + field.length() < image.size());
        FUZZ_CHECK(image[first + field.length()] == terminator);
    } else {
        FUZZ_CHECK(first + field.length() >= image.size());
    }
}

quint16 wordAt(QByteArrayView image, qsizetype offset) {
    return quint16(quint8(image[offset]) | quint8(image[offset + 1]) << 8);
}

void checkComplete(QByteArrayView image, const AddinHeader& header) {
    const qsizetype size = image.size();
    FUZZ_CHECK(header.headSize >= 1 && header.headSize <= size);
    FUZZ_CHECK(header.classLine && header.classLine->terminated);
    const qsizetype classEnd = header.classLine->start - 1 + header.classLine->length();

    if (!header.isAddin()) {
        // The class line with its carriage return and the byte after it is the whole header.
        FUZZ_CHECK(header.headSize == classEnd + 2);
        FUZZ_CHECK(!header.name && !header.description && !header.word1 && header.icon.isEmpty());
        FUZZ_CHECK(header.org == 0 && header.codeSize == 0);
        return;
    }

    FUZZ_CHECK(header.name && header.name->terminated);
    FUZZ_CHECK(header.description && header.description->terminated);
    FUZZ_CHECK(header.word1 && header.word2);
    FUZZ_CHECK(header.icon.size() == AddinHeader::kIconBytes);
    FUZZ_CHECK(header.headSize == header.iconStart + AddinHeader::kIconBytes - 1);
    FUZZ_CHECK(header.org == 32770 - header.headSize);

    // Re-serialised, the fields give back the header's bytes. The byte after each carriage
    // return is passed over unread, so the builder's line feed stands in for whatever it was.
    const QByteArray rebuilt =
        buildAddinHeader(header.classLine->bytes, header.name->bytes, header.description->bytes,
                         *header.word1, *header.word2, header.icon);
    FUZZ_CHECK(rebuilt.size() == header.headSize);
    const qsizetype nameEnd = header.name->start - 1 + header.name->length();
    for (qsizetype i = 0; i < rebuilt.size(); ++i) {
        if (i == classEnd + 1 || i == nameEnd + 1) {
            FUZZ_CHECK(rebuilt[i] == '\n');
        } else {
            FUZZ_CHECK(rebuilt[i] == image[i]);
        }
    }

    // The code runs up to the last byte after the header that is not 0xFF.
    FUZZ_CHECK(header.codeSize >= 0 && header.codeSize <= size - header.headSize);
    const qsizetype codeEnd = header.headSize + header.codeSize; // 0-based, one past the code
    for (qsizetype i = codeEnd; i < size; ++i) {
        FUZZ_CHECK(quint8(image[i]) == 0xFF);
    }
    if (header.codeSize > 0) {
        FUZZ_CHECK(quint8(image[codeEnd - 1]) != 0xFF);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView image(reinterpret_cast<const char*>(data), qsizetype(size));
    const AddinHeader header = AddinHeader::parse(image);

    FUZZ_CHECK(header.complete() == header.problemText().isEmpty());
    const bool signed_ =
        image.size() >= kSignature.size() && image.first(kSignature.size()) == kSignature;
    FUZZ_CHECK(header.signatureOk() == signed_);

    if (header.classLine) {
        FUZZ_CHECK(header.classLine->start == kSignature.size() + 1);
        checkField(image, *header.classLine, kCarriageReturn);
    }
    if (header.name) {
        FUZZ_CHECK(header.name->start == header.classLine->start + header.classLine->length() + 2);
        checkField(image, *header.name, kCarriageReturn);
    }
    if (header.description) {
        FUZZ_CHECK(header.description->start == header.name->start + header.name->length() + 2);
        checkField(image, *header.description, '\0');
    }
    if (header.word1) {
        const qsizetype zero = header.description->start - 1 + header.description->length();
        FUZZ_CHECK(zero + 2 < image.size());
        FUZZ_CHECK(*header.word1 == wordAt(image, zero + 1));
        if (header.word2) {
            FUZZ_CHECK(zero + 4 < image.size());
            FUZZ_CHECK(*header.word2 == wordAt(image, zero + 3));
        }
    }
    if (!header.icon.isEmpty()) {
        FUZZ_CHECK(header.iconStart >= 1);
        FUZZ_CHECK(header.iconStart - 1 + header.icon.size() <= image.size());
        FUZZ_CHECK(image.sliced(header.iconStart - 1, header.icon.size()) == header.icon);
    }

    if (header.complete()) {
        checkComplete(image, header);
    } else {
        // A damaged header claims no header bytes, so a stripped dump shows the whole file.
        FUZZ_CHECK(header.headSize == 0 && header.org == 0 && header.codeSize == 0);
    }

    // Parsing the same image again gives the same result.
    const AddinHeader again = AddinHeader::parse(image);
    FUZZ_CHECK(again.problem == header.problem && again.headSize == header.headSize &&
               again.codeSize == header.codeSize);
    return 0;
}

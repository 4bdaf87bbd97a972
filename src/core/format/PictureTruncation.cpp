// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureTruncation.h"

#include <QtEndian>

#include <cstdlib>

namespace {

quint32 u32At(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.data() + at);
}
quint16 u16At(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

constexpr qsizetype kBmpFileHeader = 14;
constexpr quint32 kBmpCoreHeader = 12; // the old OS/2 header with 16-bit sizes
constexpr quint32 kBmpRgb = 0;
constexpr quint32 kBmpRle8 = 1;
constexpr quint32 kBmpRle4 = 2;
constexpr quint32 kBmpBitFields = 3;
constexpr quint32 kBmpAlphaBitFields = 6;

// Uncompressed rows are padded to whole 32-bit words, so the pixels' length is exact; a
// run-length coded picture states the length of its coded pixels in the header instead.
bool bmpCutShort(QByteArrayView bytes) {
    if (bytes.size() < kBmpFileHeader + 4) {
        return true;
    }
    const quint32 headerSize = u32At(bytes, kBmpFileHeader);
    if (headerSize < kBmpCoreHeader || bytes.size() < kBmpFileHeader + qint64(headerSize)) {
        return true;
    }
    const qint64 pixelsAt = u32At(bytes, 10);
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitCount = 0;
    quint32 compression = kBmpRgb;
    qint64 codedLength = 0;
    if (headerSize == kBmpCoreHeader) {
        width = u16At(bytes, 18);
        height = u16At(bytes, 20);
        bitCount = u16At(bytes, 24);
    } else {
        // Each later header adds fields at the end: compression from 20 bytes on, the coded
        // length from 24.
        if (headerSize < 16) {
            return true;
        }
        width = qint32(u32At(bytes, 18));
        height = std::abs(qint64(qint32(u32At(bytes, 22)))); // negative: rows top down
        bitCount = u16At(bytes, 28);
        compression = headerSize >= 20 ? u32At(bytes, 30) : kBmpRgb;
        codedLength = headerSize >= 24 ? u32At(bytes, 34) : 0;
    }
    if (compression == kBmpRle8 || compression == kBmpRle4) {
        return pixelsAt + codedLength > bytes.size();
    }
    if (compression != kBmpRgb && compression != kBmpBitFields &&
        compression != kBmpAlphaBitFields) {
        return false; // a coding Qt does not read: the reader refuses it
    }
    const qint64 rowLength = (width * bitCount + 31) / 32 * 4;
    if (rowLength <= 0) {
        return false;
    }
    return pixelsAt > bytes.size() || (bytes.size() - pixelsAt) / rowLength < height;
}

// Skips data sub-blocks (a length byte, then that many bytes) up to the empty one that ends
// them; false when the bytes end first.
bool skipSubBlocks(QByteArrayView bytes, qsizetype& at) {
    while (at < bytes.size()) {
        const int length = quint8(bytes[at++]);
        if (length == 0) {
            return true;
        }
        at += length;
    }
    return false;
}

qsizetype gifColourTable(quint8 flags) {
    return (flags & 0x80) != 0 ? 3 * (qsizetype(1) << ((flags & 0x07) + 1)) : 0;
}

constexpr qsizetype kGifScreenEnd = 13; // signature and logical screen descriptor
constexpr char kGifExtension = 0x21;
constexpr char kGifImage = 0x2C;
constexpr qsizetype kGifImageDescriptor = 9;

// Walks the blocks up to the end of the first image's coded pixels, the frame Qt reads.
bool gifCutShort(QByteArrayView bytes) {
    if (bytes.size() < kGifScreenEnd) {
        return true;
    }
    qsizetype at = kGifScreenEnd + gifColourTable(quint8(bytes[10]));
    while (at < bytes.size()) {
        const char block = bytes[at++];
        if (block == kGifExtension) {
            ++at; // the extension's label
            if (!skipSubBlocks(bytes, at)) {
                return true;
            }
        } else if (block == kGifImage) {
            if (at + kGifImageDescriptor > bytes.size()) {
                return true;
            }
            at += kGifImageDescriptor + gifColourTable(quint8(bytes[at + 8]));
            ++at; // the smallest code size of the coded pixels
            return !skipSubBlocks(bytes, at);
        } else {
            return false; // not a block that holds pixels: the reader judges the file
        }
    }
    return true;
}

} // namespace

namespace PictureTruncation {

bool isCutShort(QByteArrayView bytes, QByteArrayView format) {
    if (format == "bmp") {
        return bmpCutShort(bytes);
    }
    if (format == "gif") {
        return gifCutShort(bytes);
    }
    return false;
}

} // namespace PictureTruncation

// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureDamage.h"

#include <QtEndian>

#include <array>
#include <cstdlib>

namespace {

using PictureDamage::Finding;
using PictureDamage::Size;

quint32 u32At(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.data() + at);
}
quint16 u16At(QByteArrayView bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

Finding cutShort() {
    return {true, {}};
}

Finding damaged(const QString& what) {
    return {false, what};
}

constexpr qsizetype kBmpFileHeader = 14;
constexpr quint32 kBmpCoreHeader = 12; // the old OS/2 header with 16-bit sizes
constexpr quint32 kBmpRgb = 0;
constexpr quint32 kBmpRle8 = 1;
constexpr quint32 kBmpRle4 = 2;
constexpr quint32 kBmpBitFields = 3;
constexpr quint32 kBmpAlphaBitFields = 6;

// The fields of a BMP header that say how long its pixels are; nothing when the header is cut.
struct BmpLayout {
    qint64 pixelsAt = 0;
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitCount = 0;
    quint32 compression = kBmpRgb;
    qint64 codedLength = 0;
};

std::optional<BmpLayout> bmpLayout(QByteArrayView bytes) {
    if (bytes.size() < kBmpFileHeader + 4) {
        return std::nullopt;
    }
    const quint32 headerSize = u32At(bytes, kBmpFileHeader);
    if (headerSize < kBmpCoreHeader || bytes.size() < kBmpFileHeader + qint64(headerSize)) {
        return std::nullopt;
    }
    BmpLayout layout;
    layout.pixelsAt = u32At(bytes, 10);
    if (headerSize == kBmpCoreHeader) {
        layout.width = u16At(bytes, 18);
        layout.height = u16At(bytes, 20);
        layout.bitCount = u16At(bytes, 24);
        return layout;
    }
    // Each later header adds fields at the end: compression from 20 bytes on, the coded
    // length from 24.
    if (headerSize < 16) {
        return std::nullopt;
    }
    layout.width = qint32(u32At(bytes, 18));
    layout.height = std::abs(qint64(qint32(u32At(bytes, 22)))); // negative: rows top down
    layout.bitCount = u16At(bytes, 28);
    layout.compression = headerSize >= 20 ? u32At(bytes, 30) : kBmpRgb;
    layout.codedLength = headerSize >= 24 ? u32At(bytes, 34) : 0;
    return layout;
}

// Uncompressed rows are padded to whole 32-bit words, so the pixels' length is exact; a
// run-length coded picture states the length of its coded pixels in the header instead.
Finding inspectBmp(QByteArrayView bytes) {
    const std::optional<BmpLayout> layout = bmpLayout(bytes);
    if (!layout) {
        return cutShort();
    }
    if (layout->compression == kBmpRle8 || layout->compression == kBmpRle4) {
        return layout->pixelsAt + layout->codedLength > bytes.size() ? cutShort() : Finding();
    }
    if (layout->compression != kBmpRgb && layout->compression != kBmpBitFields &&
        layout->compression != kBmpAlphaBitFields) {
        return {}; // a coding Qt does not read: the reader refuses it
    }
    const qint64 rowLength = (layout->width * layout->bitCount + 31) / 32 * 4;
    if (rowLength <= 0) {
        return {};
    }
    const bool cut = layout->pixelsAt > bytes.size() ||
                     (bytes.size() - layout->pixelsAt) / rowLength < layout->height;
    return cut ? cutShort() : Finding();
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

qsizetype gifColourCount(quint8 flags) {
    return (flags & 0x80) != 0 ? qsizetype(1) << ((flags & 0x07) + 1) : 0;
}

constexpr qsizetype kGifScreenEnd = 13; // signature and logical screen descriptor
constexpr char kGifExtension = 0x21;
constexpr char kGifImage = 0x2C;
constexpr qsizetype kGifImageDescriptor = 9;
constexpr int kLzwMaxBits = 12;
constexpr int kLzwCodes = 1 << kLzwMaxBits;

// The coded pixels of one GIF frame, complete up to their end block, as LZW codes.
class LzwCodes {
public:
    LzwCodes(QByteArrayView bytes, qsizetype at) : m_bytes(bytes), m_at(at) {}

    // The next code of `width` bits; -1 when the data ends first.
    int next(int width) {
        while (m_count < width) {
            if (m_left == 0) {
                m_left = quint8(m_bytes[m_at++]);
                if (m_left == 0) {
                    return -1;
                }
            }
            m_bits |= quint32(quint8(m_bytes[m_at++])) << m_count;
            m_count += 8;
            --m_left;
        }
        const int code = int(m_bits & ((quint32(1) << width) - 1));
        m_bits >>= width;
        m_count -= width;
        return code;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_at;
    int m_left = 0; // bytes left in the current sub-block
    quint32 m_bits = 0;
    int m_count = 0;
};

// Decodes the frame's codes just far enough to count its pixels and see its colours: the
// coded pixels must cover the frame and use only colours of its table (`colours`, 0 when the
// file has no table).
Finding countGifPixels(QByteArrayView bytes, qsizetype at, qint64 pixels, qsizetype colours) {
    const int smallest = quint8(bytes[at++]);
    if (smallest < 1 || smallest >= kLzwMaxBits) {
        return damaged(QStringLiteral("its pixels are coded with %1-bit codes").arg(smallest));
    }
    const int clear = 1 << smallest;
    std::array<quint16, kLzwCodes> lengths{}; // the number of pixels each code stands for
    lengths.fill(1);
    LzwCodes codes(bytes, at);
    int width = smallest + 1;
    int next = clear + 2;
    int previous = -1;
    qint64 count = 0;
    while (count < pixels) {
        const int code = codes.next(width);
        if (code < 0 || code == clear + 1) {
            break;
        }
        if (code == clear) {
            width = smallest + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code > next || (previous < 0 && code > clear) || (code == next && next == kLzwCodes)) {
            return damaged(QStringLiteral("its pixel data holds a code it has not defined"));
        }
        if (code < clear && colours > 0 && code >= colours) {
            return damaged(QStringLiteral("its pixels use colour %1 of a colour table of %2")
                               .arg(code)
                               .arg(colours));
        }
        const int length = code == next ? lengths[size_t(previous)] + 1 : lengths[size_t(code)];
        if (previous >= 0 && next < kLzwCodes) {
            lengths[size_t(next)] = quint16(qMin(lengths[size_t(previous)] + 1, 0xFFFF));
            ++next;
            if (next == (1 << width) && width < kLzwMaxBits) {
                ++width;
            }
        }
        count += length;
        previous = code;
    }
    if (count < pixels) {
        return damaged(QStringLiteral("its pixel data stops after %1 of its %2 pixels")
                           .arg(qMin(count, pixels))
                           .arg(pixels));
    }
    return {};
}

// Walks the blocks to the first image, the frame Qt reads, and through its coded pixels.
Finding inspectGif(QByteArrayView bytes) {
    if (bytes.size() < kGifScreenEnd) {
        return cutShort();
    }
    const qint64 screenWidth = u16At(bytes, 6);
    const qint64 screenHeight = u16At(bytes, 8);
    const qsizetype globalColours = gifColourCount(quint8(bytes[10]));
    qsizetype at = kGifScreenEnd + 3 * globalColours;
    while (at < bytes.size()) {
        const char block = bytes[at++];
        if (block == kGifExtension) {
            ++at; // the extension's label
            if (!skipSubBlocks(bytes, at)) {
                return cutShort();
            }
        } else if (block == kGifImage) {
            if (at + kGifImageDescriptor > bytes.size()) {
                return cutShort();
            }
            const qint64 left = u16At(bytes, at);
            const qint64 top = u16At(bytes, at + 2);
            const qint64 width = u16At(bytes, at + 4);
            const qint64 height = u16At(bytes, at + 6);
            const qsizetype localColours = gifColourCount(quint8(bytes[at + 8]));
            at += kGifImageDescriptor + 3 * localColours;
            qsizetype end = at + 1; // after the smallest code size
            if (end > bytes.size() || !skipSubBlocks(bytes, end)) {
                return cutShort();
            }
            if (left + width > screenWidth || top + height > screenHeight) {
                return damaged(QStringLiteral("its frame of %1 x %2 pixels at (%3, %4) reaches "
                                              "past its screen of %5 x %6")
                                   .arg(width)
                                   .arg(height)
                                   .arg(left)
                                   .arg(top)
                                   .arg(screenWidth)
                                   .arg(screenHeight));
            }
            return countGifPixels(bytes, at, width * height,
                                  localColours > 0 ? localColours : globalColours);
        } else {
            return {}; // not a block that holds pixels: the reader judges the file
        }
    }
    return cutShort();
}

} // namespace

namespace PictureDamage {

std::optional<Size> declaredSize(QByteArrayView bytes, QByteArrayView format) {
    if (format == "png" && bytes.size() >= 24 && bytes.sliced(12, 4) == QByteArrayView("IHDR")) {
        return Size{qFromBigEndian<quint32>(bytes.data() + 16),
                    qFromBigEndian<quint32>(bytes.data() + 20)};
    }
    if (format == "gif" && bytes.size() >= 10) {
        return Size{u16At(bytes, 6), u16At(bytes, 8)};
    }
    if (format == "bmp") {
        if (const std::optional<BmpLayout> layout = bmpLayout(bytes)) {
            return Size{layout->width, layout->height};
        }
    }
    return std::nullopt;
}

Finding inspect(QByteArrayView bytes, QByteArrayView format) {
    if (format == "bmp") {
        return inspectBmp(bytes);
    }
    if (format == "gif") {
        return inspectGif(bytes);
    }
    return {};
}

} // namespace PictureDamage

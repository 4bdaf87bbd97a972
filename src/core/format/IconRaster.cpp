// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconRaster.h"

#include "AddinHeader.h"
#include "IconPicture.h"

namespace {

constexpr int kWidth = AddinHeader::kIconWidth;
constexpr int kHeight = AddinHeader::kIconHeight;
constexpr int kRowBytes = AddinHeader::kIconRowBytes;

// Rec. 709 luma weights in ten-thousandths; they add up to 10000.
constexpr qint64 kRedWeight = 2126;
constexpr qint64 kGreenWeight = 7152;
constexpr qint64 kBlueWeight = 722;
constexpr qint64 kWeightSum = kRedWeight + kGreenWeight + kBlueWeight;

} // namespace

int IconRaster::scaleOf(qint64 width, qint64 height) {
    if (width <= 0 || width % kWidth != 0 || height % kHeight != 0) {
        return 0;
    }
    const qint64 scale = width / kWidth;
    return height / kHeight == scale && scale <= IconPicture::kMaxScale ? int(scale) : 0;
}

// Both halves are compared doubled, so that "at least half" and "below half" stay exact in
// whole numbers: 8-bit alpha 128 is black, 127 is not; grey 127 is black, grey 128 is not; a
// PGM of maximum 2 has its grey 1 white.
bool IconRaster::isBlack(qint64 red, qint64 green, qint64 blue, qint64 alpha, qint64 maximum) {
    if (2 * alpha < maximum) {
        return false;
    }
    const qint64 luma = kRedWeight * red + kGreenWeight * green + kBlueWeight * blue;
    return 2 * luma < kWeightSum * maximum;
}

IconRaster::IconRaster(int width, int height)
    : m_width(width), m_height(height), m_scale(scaleOf(width, height)), m_columnOf(size_t(width)) {
    for (int x = 0; x < width; ++x) {
        m_columnOf[size_t(x)] = quint8(x / m_scale);
    }
}

bool IconRaster::mixed(int x, int y) {
    if (m_problem.isEmpty()) {
        m_problem = QStringLiteral("The picture is %1 x %2 pixels, %3 times the icon's size, but "
                                   "its %3 x %3 block at (%4, %5) is partly black and partly "
                                   "white; at that size every icon pixel must be a %3 x %3 block "
                                   "of one colour.")
                        .arg(m_width)
                        .arg(m_height)
                        .arg(m_scale)
                        .arg(x / m_scale * m_scale)
                        .arg(y / m_scale * m_scale);
    }
    return false;
}

QByteArray IconRaster::icon() const {
    QByteArray bytes(AddinHeader::kIconBytes, '\0');
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
            if (m_blocks[size_t(row) * kWidth + size_t(column)] == Block::Black) {
                char& byte = bytes[row * kRowBytes + column / 8];
                byte = char(quint8(byte) | (0x80 >> (column % 8)));
            }
        }
    }
    return bytes;
}

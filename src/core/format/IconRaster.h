// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

// The icon being made from a picture's pixels, which arrive one at a time in any order: every
// N x N block of an N-times picture must be one colour, and its colour is one icon pixel. The
// readers never hold the whole picture, only this: 1280 blocks.
class IconRaster {
public:
    // The scale N of a picture of `width` x `height` pixels that is N x (40 x 32), N at most
    // IconPicture::kMaxScale, or 0 for any other size.
    static int scaleOf(qint64 width, qint64 height);

    // A pixel is black when it is at least half opaque and its Rec. 709 luminance is below
    // half. The channels run from 0 to `maximum` (255 for 8 bits, 65535 for 16, or a PGM's
    // own maximum), so the rule is exact at every depth: exactly half is white.
    static bool isBlack(qint64 red, qint64 green, qint64 blue, qint64 alpha, qint64 maximum);
    static bool isBlack(qint64 grey, qint64 maximum) {
        return isBlack(grey, grey, grey, maximum, maximum);
    }

    // `width` x `height` must have a scale (scaleOf).
    IconRaster(int width, int height);

    // Takes the pixel at (x, y); false, with the problem set, when its block already holds the
    // other colour. Every pixel of the picture must be put once. (Called for every pixel of a
    // picture of up to 12.8 million: no division here.)
    bool put(int x, int y, bool black) {
        if (y != m_row) {
            m_row = y;
            m_rowStart = (y / m_scale) * AddinHeader::kIconWidth;
        }
        Block& block = m_blocks[size_t(m_rowStart) + m_columnOf[size_t(x)]];
        const Block colour = black ? Block::Black : Block::White;
        if (block == colour) {
            return true;
        }
        if (block == Block::Unseen) {
            block = colour;
            return true;
        }
        return mixed(x, y);
    }

    // The 160 icon bytes: rows of 5 bytes, the leftmost pixel in the highest bit, black = 1.
    QByteArray icon() const;
    // The sentence about the first block found with both colours; empty when there is none.
    const QString& problem() const { return m_problem; }

private:
    enum class Block : quint8 { Unseen, White, Black };

    bool mixed(int x, int y);

    int m_width;
    int m_height;
    int m_scale;
    std::vector<quint8> m_columnOf; // the icon column of each picture column
    int m_row = -1;
    int m_rowStart = 0;
    std::array<Block, size_t(AddinHeader::kIconWidth) * AddinHeader::kIconHeight> m_blocks{};
    QString m_problem;
};

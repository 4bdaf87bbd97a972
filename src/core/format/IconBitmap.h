// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>

// The 40 x 32 pixels of the icon box: cleared to the box's background, then painted point by
// point from the header's icon bytes, black for a 1 bit and pure white for a 0 bit.
namespace IconBitmap {

QImage cleared(const QColor& background);
// Paints as many whole rows and bytes as `icon` holds (160 bytes make the whole icon).
void paint(QImage& pixels, const QByteArray& icon);

} // namespace IconBitmap

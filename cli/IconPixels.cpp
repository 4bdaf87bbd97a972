// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconPixels.h"

#include "IconBitmap.h"

namespace IconPixels {

QImage of(const QByteArray& iconBytes) {
    QImage pixels = IconBitmap::cleared(Qt::white);
    IconBitmap::paint(pixels, iconBytes);
    return pixels;
}

} // namespace IconPixels

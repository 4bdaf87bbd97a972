// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconPixels.h"

#include "IconBitmap.h"

#include <QBuffer>
#include <QImageWriter>

namespace IconPixels {

QImage of(const QByteArray& iconBytes) {
    QImage pixels = IconBitmap::cleared(Qt::white);
    IconBitmap::paint(pixels, iconBytes);
    return pixels;
}

QByteArray png(const QByteArray& iconBytes, int scale) {
    const QImage pixels = of(iconBytes);
    const QImage picture =
        pixels.scaled(pixels.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(picture) ? bytes : QByteArray();
}

} // namespace IconPixels

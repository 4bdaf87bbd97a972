// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>

// The icon box as the window fills it: cleared, then painted from the header's icon bytes.
// The icon code and the picture are both read from these pixels, as the window reads them.
namespace IconPixels {

QImage of(const QByteArray& iconBytes);
// The icon as a PNG file, each icon pixel made `scale` x `scale` picture pixels; empty when
// the picture cannot be encoded.
QByteArray png(const QByteArray& iconBytes, int scale = 1);

} // namespace IconPixels

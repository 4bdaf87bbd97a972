// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

// Whether a picture file ends before its pixels do. Qt's BMP and GIF readers report such a
// file as read and fill what is missing with leftover memory or the background, which would
// make a silently wrong icon; the other formats Mobrin reads fail by themselves.
namespace PictureTruncation {

// `format` is the reader's name for the file's format ("bmp", "gif"); other formats are
// never judged cut short here.
bool isCutShort(QByteArrayView bytes, QByteArrayView format);

} // namespace PictureTruncation

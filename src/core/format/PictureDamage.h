// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

// What the structure of a BMP or GIF file says before Qt decodes it. Qt's readers take such a
// file as read when its pixels end early and fill the rest with leftover memory or the
// background; they take a GIF frame larger than its screen, and a colour past the colour
// table. Each would make a silently wrong icon.
namespace PictureDamage {

struct Size {
    qint64 width = 0;
    qint64 height = 0;
};

// The size the header declares (a GIF's screen; a PNG's IHDR), for "png", "bmp" and "gif";
// nothing when the header is not there to read.
std::optional<Size> declaredSize(QByteArrayView bytes, QByteArrayView format);

struct Finding {
    bool cutShort = false; // the file ends before its pixels do
    QString damage;        // what is damaged inside, completing "The GIF picture is damaged: "

    bool found() const { return cutShort || !damage.isEmpty(); }
};

// `format` is the reader's name for the file's format ("bmp", "gif"); other formats are never
// judged here.
Finding inspect(QByteArrayView bytes, QByteArrayView format);

} // namespace PictureDamage

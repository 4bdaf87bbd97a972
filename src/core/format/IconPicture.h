// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class IconRaster;

// A picture made into the header's 160 icon bytes: rows of 5 bytes, the leftmost pixel in the
// highest bit, black = 1. A pixel is black when it is at least half opaque and its Rec. 709
// luminance is below half; everything else is white. The picture is 40 x 32 pixels, or N times
// that in both directions with every N x N block one colour, as `mobrin-cli icon --png
// --scale N` writes it; anything else is refused rather than guessed at. Every refusal comes
// with one sentence saying why.
//
// Reading a picture takes memory in proportion to the file at most, never to what its data
// claims to unpack to: PNG text chunks are skipped unread, PNG, PBM, PGM and PPM pixels are
// taken a row at a time, XPM colours are looked up in the file's own bytes.
struct IconPicture {
    enum class Outcome {
        Converted,
        Unreadable, // missing, not a regular file, cut short, damaged, or in a format not read
        Refused,    // read, but not a 40 x 32 icon or a whole multiple of one
    };

    // A picture at most 100 times the icon's size (4000 x 3200). Its file holds at most what
    // the plainest form of such a picture needs: 256 MiB for PNG, PBM, PGM and PPM, which are
    // read a piece at a time (a plain PPM of 4000 x 3200 pixels at 16 bits takes 230.4 MB, an
    // uncompressed 16-bit RGBA PNG 102.4 MB), and 64 MiB for BMP, GIF and XPM, which are read
    // whole (a 32-bit BMP of that size takes 51.2 MB).
    static constexpr int kMaxScale = 100;
    static constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;
    static constexpr qint64 kMaxPlainFileBytes = qint64(256) * 1024 * 1024;

    Outcome outcome = Outcome::Converted;
    QByteArray icon; // 160 bytes when Converted, empty otherwise
    QString problem; // one sentence saying why not, for a message box; empty when Converted

    bool converted() const { return outcome == Outcome::Converted; }

    // Reads the picture file at `path` (never blocking on a FIFO) and converts it.
    static IconPicture fromFile(const QString& path);
    // A picture file's bytes, such as a drag from another program carries: PNG, BMP,
    // PBM/PGM/PPM, XPM or GIF, whole (a file cut short is unreadable, never half an icon).
    static IconPicture fromData(const QByteArray& bytes);
    static IconPicture fromImage(const QImage& picture);

    // Whether `path` is a regular file whose content Qt recognises as a picture, without
    // decoding it: a dropped add-in is not one.
    static bool isPictureFile(const QString& path);

    // The outcomes the format readers give.
    static IconPicture fromRaster(const IconRaster& raster);
    static IconPicture refusedSize(qint64 width, qint64 height);
    static IconPicture cutShort(const QString& format);
    // "The GIF picture is damaged: `what`."
    static IconPicture damaged(const QString& format, const QString& what);
};

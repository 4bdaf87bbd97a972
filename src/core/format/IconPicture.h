// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// A picture made into the header's 160 icon bytes: rows of 5 bytes, the leftmost pixel in the
// highest bit, black = 1. A pixel is black when it is at least half opaque and its Rec. 709
// luminance is below half; everything else is white. The picture is 40 x 32 pixels, or N times
// that in both directions with every N x N block one colour, as `mobrin-cli icon --png
// --scale N` writes it; anything else is refused rather than guessed at. Every refusal comes
// with one sentence saying why.
struct IconPicture {
    enum class Outcome {
        Converted,
        Unreadable, // missing, not a regular file, cut short, or not in a format read here
        Refused,    // read, but not a 40 x 32 icon or a whole multiple of one
    };

    // A picture at most 100 times the icon's size (4000 x 3200), from a file of at most
    // 64 MiB: anything larger is no icon drawing, and would only cost memory to decode.
    static constexpr int kMaxScale = 100;
    static constexpr qint64 kMaxFileBytes = qint64(64) * 1024 * 1024;

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
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Lays out the bytes of an add-in file: the "ApplicationName:" line with the class text, then
// for an add-in the name, the description, two little-endian words, the 40 x 32 icon and the
// code; finally 0xFF up to a padded length. Written from the file format alone, on purpose
// apart from the program's own header code.
struct AddinFileWriter {
    QByteArray classText;
    QByteArray name;
    QByteArray description;
    quint16 word1 = 0;
    quint16 word2 = 0;
    QByteArray icon; // exactly 160 bytes, 5 a row, top row first
    QByteArray code;
    int padTo = 0; // 0xFF bytes are appended up to this length; 0 leaves the file as it is

    // An add-in: the full header before the code.
    QByteArray addinBytes() const;
    // Any other class: the class line alone before the body in `code`.
    QByteArray classLineOnlyBytes() const;

private:
    QByteArray padded(QByteArray bytes) const;
};

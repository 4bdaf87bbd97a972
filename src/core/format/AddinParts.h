// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// An add-in as its author sees it: the header's texts and words, the icon, the code and the
// file's length. Taken from a file with a complete add-in header and put together again, it
// gives back that file byte for byte, the bytes the parser passes over included.
struct AddinParts {
    enum class Text { Class, Name, Description };

    QByteArray classText = "Addin"; // Windows-1252 bytes, as the fields hold them
    QByteArray name;
    QByteArray description;
    quint16 word1 = 0;
    quint16 word2 = 0;
    QByteArray icon = QByteArray(AddinHeader::kIconBytes, '\0'); // all white
    QByteArray code;
    int fileLength = 0; // the bytes after the code up to this length are 0xFF
    // The bytes after the carriage returns of the class line and the name; the parser passes
    // over them unexamined, and every tool writes a line feed there.
    quint8 afterClassReturn = AddinHeader::kLineFeed;
    quint8 afterNameReturn = AddinHeader::kLineFeed;

    // The parts of `image`, whose header `header` must be a complete add-in header. The code
    // runs from the first byte after the header to the end of the approximate code size.
    static AddinParts of(QByteArrayView image, const AddinHeader& header);

    // Stores `text` in Windows-1252; or, changing nothing, one sentence saying why it cannot
    // be stored: a character without a code, the field's terminator, a class type that is
    // not ADDIN.
    QString setText(Text which, const QString& text);

    int headerLength() const;
    // The header and the code: the shortest file these parts make.
    int naturalLength() const { return headerLength() + int(code.size()); }
    // The length of a new add-in: padded to 8192 bytes with 0xFF as Open offers to, unless
    // `pad` is false or the header and code are longer.
    int newFileLength(bool pad) const;

    // Why these parts make no file (over 9000 bytes, a file length shorter than the header and
    // code), as one sentence; empty when they make one. Whether that file is a sound add-in
    // is AddinCheck's to say.
    QString problem() const;
    // The file: the header, the code, then 0xFF up to the file length.
    QByteArray bytes() const;
};

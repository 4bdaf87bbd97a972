// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

struct AddinHeader;

// Where an add-in's code ends and its padding begins, as the field's tools lay a file out:
// word 1 is the code's length, and the bytes after it up to the end of the file are padding,
// 00 bytes (the C toolchain fills its 8192-byte bank with them) then FF bytes (Mobrin's own
// padding on Open and `pad`), either run possibly empty.
struct CodePadding {
    enum class Fit {
        Padded,      // everything after word 1's length is padding
        PastTheEnd,  // word 1 claims more bytes than follow the header
        CodeFollows, // a byte after word 1's length is not padding: the handheld will not load it
    };

    Fit fit = Fit::Padded;
    int codeEnd = 0; // file offset where word 1's length ends (past the image for PastTheEnd)
    int zeros = 0;   // 00 bytes from codeEnd on
    int fills = 0;   // FF bytes after the zeros

    // The file offset of the first byte that is not padding, when the code follows.
    int strayOffset() const { return codeEnd + zeros + fills; }
    bool padded() const { return fit == Fit::Padded; }

    // `header` must be the complete header of an add-in.
    static CodePadding of(QByteArrayView image, const AddinHeader& header);
    // Whether every byte from `offset` on is padding: code that is only padding is no code.
    static bool onlyPaddingFrom(QByteArrayView image, int offset);
};

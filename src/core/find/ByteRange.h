// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A run of bytes of the image: `length` bytes from file offset `start` (the image's first byte
// is 0). Selections, search hits, differing runs and the part of the image a dump shows all
// travel as one of these.
struct ByteRange {
    int start = 0;
    int length = 0;

    int end() const { return start + length; }
    bool isEmpty() const { return length <= 0; }
    bool holds(int offset) const { return offset >= start && offset < end(); }
    // The bytes this range shares with `other`; empty when they do not meet.
    ByteRange clippedTo(const ByteRange& other) const;

    bool operator==(const ByteRange&) const = default;

    // The bytes the dump shows of an image of `imageSize` bytes: all of them, or with "Strip
    // header" the part after a header of `headSize` bytes (when a header size is known), as
    // DumpText::renderedRange cuts them.
    static ByteRange shown(int imageSize, bool stripHeader, int headSize);
};

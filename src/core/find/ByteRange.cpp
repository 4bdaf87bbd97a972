// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteRange.h"

#include "DumpText.h"

#include <algorithm>

ByteRange ByteRange::clippedTo(const ByteRange& other) const {
    const int first = std::max(start, other.start);
    const int last = std::min(end(), other.end());
    return last > first ? ByteRange{first, last - first} : ByteRange{first, 0};
}

ByteRange ByteRange::shown(int imageSize, bool stripHeader, int headSize) {
    const int first = DumpText::renderedStart(imageSize, stripHeader, headSize);
    return {first, imageSize - first};
}

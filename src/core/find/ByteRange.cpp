// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteRange.h"

#include <algorithm>

ByteRange ByteRange::clippedTo(const ByteRange& other) const {
    const int first = std::max(start, other.start);
    const int last = std::min(end(), other.end());
    return last > first ? ByteRange{first, last - first} : ByteRange{first, 0};
}

ByteRange ByteRange::shown(int imageSize, bool stripHeader, int headSize) {
    if (!stripHeader || headSize <= 0) {
        return {0, imageSize};
    }
    const int first = std::min(headSize, imageSize);
    return {first, imageSize - first};
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteSearch.h"

namespace ByteSearch {

QList<ByteRange> matches(QByteArrayView image, const BytePattern& pattern, ByteRange within) {
    within = within.clippedTo({0, int(image.size())});
    QList<ByteRange> found;
    const int length = pattern.length();
    for (int offset = within.start; offset + length <= within.end(); ++offset) {
        if (pattern.matchesAt(image, offset)) {
            found.append({offset, length});
        }
    }
    return found;
}

RangeStep find(QByteArrayView image, const BytePattern& pattern, ByteRange within,
               const ByteRange& selection, RangeStep::Direction direction) {
    return RangeStep::among(matches(image, pattern, within), selection, direction);
}

QString note(const RangeStep& step) {
    return step.range ? step.wrapNote() : kNotFound;
}

} // namespace ByteSearch

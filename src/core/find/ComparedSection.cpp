// SPDX-License-Identifier: GPL-3.0-or-later
#include "ComparedSection.h"

namespace {

ByteRange beyond(const ByteRange& range, int common) {
    return {range.start + common, range.length - common};
}

} // namespace

ByteRange ComparedSection::thisOnly() const {
    return beyond(thisRange, commonLength());
}

ByteRange ComparedSection::otherOnly() const {
    return beyond(otherRange, commonLength());
}

ComparedSection ComparedSection::of(Part part, QByteArrayView thisImage, const ByteRange& thisRange,
                                    QByteArrayView otherImage, const ByteRange& otherRange) {
    ComparedSection section{part, thisRange, otherRange, {}};
    const int common = section.commonLength();
    const char* these = thisImage.data() + thisRange.start;
    const char* others = otherImage.data() + otherRange.start;
    for (int at = 0; at < common;) {
        if (these[at] == others[at]) {
            ++at;
            continue;
        }
        const int start = at;
        while (at < common && these[at] != others[at]) {
            ++at;
        }
        section.runs.append({thisRange.start + start, otherRange.start + start, at - start});
    }
    return section;
}

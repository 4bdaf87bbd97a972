// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodePadding.h"

#include "AddinHeader.h"
#include "AddinImage.h"

namespace {

int runOf(QByteArrayView image, int from, char byte) {
    int at = from;
    while (at < image.size() && image[at] == byte) {
        ++at;
    }
    return at - from;
}

} // namespace

CodePadding CodePadding::of(QByteArrayView image, const AddinHeader& header) {
    CodePadding padding;
    padding.codeEnd = header.headSize + *header.word1;
    if (padding.codeEnd > image.size()) {
        padding.fit = Fit::PastTheEnd;
        return padding;
    }
    padding.zeros = runOf(image, padding.codeEnd, '\0');
    padding.fills = runOf(image, padding.codeEnd + padding.zeros, AddinImage::kPadByte);
    if (padding.strayOffset() < image.size()) {
        padding.fit = Fit::CodeFollows;
    }
    return padding;
}

bool CodePadding::onlyPaddingFrom(QByteArrayView image, int offset) {
    const int zeros = runOf(image, offset, '\0');
    return offset + zeros + runOf(image, offset + zeros, AddinImage::kPadByte) == image.size();
}

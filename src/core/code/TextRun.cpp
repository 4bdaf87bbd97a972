// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextRun.h"

#include <QChar>

namespace {

constexpr int kShortestText = 3;
constexpr int kShortestNamedText = 2;

bool lineBreak(char byte) {
    return byte == '\r' || byte == '\n';
}

bool startsText(QByteArrayView image, int at, int lineEnd, bool named) {
    if (named) {
        return lineEnd - at >= kShortestNamedText;
    }
    if (lineEnd - at < kShortestText) {
        return false;
    }
    // Words: mostly letters, digits and spaces, as code bytes that happen to be printable
    // seldom are.
    int wordy = 0;
    for (int i = at; i < lineEnd; ++i) {
        const auto c = char16_t(quint8(image[i]));
        wordy += QChar::isLetterOrNumber(c) || c == u' ' ? 1 : 0;
    }
    return 2 * wordy > lineEnd - at;
}

} // namespace

namespace TextRun {

int printableEnd(QByteArrayView image, int at, int limit) {
    int end = at;
    while (end < limit && printable(image[end])) {
        ++end;
    }
    return end;
}

int endAt(QByteArrayView image, int at, int limit, bool named) {
    int end = at;
    int line = at;
    for (;;) {
        const int lineEnd = printableEnd(image, line, limit);
        if (line == at && !startsText(image, at, lineEnd, named)) {
            return at;
        }
        int breaks = lineEnd;
        while (breaks < limit && lineBreak(image[breaks])) {
            ++breaks;
        }
        if (breaks < limit && image[breaks] == '\0') {
            return breaks + 1;
        }
        if (breaks == lineEnd) {
            return end;
        }
        end = line = breaks;
    }
}

} // namespace TextRun

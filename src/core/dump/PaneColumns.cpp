// SPDX-License-Identifier: GPL-3.0-or-later
#include "PaneColumns.h"

#include "DumpText.h"

namespace PaneColumns {

int charsPerByte(Pane pane) {
    return pane == Pane::Hex ? DumpText::kHexCharsPerByte : 1;
}

int charsPerLine(Pane pane) {
    return DumpText::kBytesPerLine * charsPerByte(pane);
}

ByteRange bytesOf(Pane pane, int start, int length) {
    const int perByte = charsPerByte(pane);
    return {start / perByte, (length + perByte - 1) / perByte};
}

} // namespace PaneColumns

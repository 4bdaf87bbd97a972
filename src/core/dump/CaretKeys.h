// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"
#include "PaneColumns.h"

#include <Qt>

#include <optional>

// Where the keys move the dump's caret: the arrows a byte or a line, Page Up and Page Down 15
// lines with the view, Home and End to the line's first or last byte, with Ctrl to the dump's
// first byte or past its last; Shift with any of them selects from where the selection was
// anchored, whole bytes. In the hex pane the caret keeps its digit going up or down whole
// lines, and Left from a byte's low digit goes to its high digit.
namespace CaretKeys {

// The caret: a file offset and, in the hex pane, its digit (0 the high one, 1 the low one).
struct Caret {
    int offset = 0;
    int nibble = 0;
    bool operator==(const Caret&) const = default;
};

struct Move {
    Caret to;
    bool extend = false; // the selection grows or shrinks from its anchor
    int scroll = 0;      // lines the view scrolls before the caret moves (the Page keys)
    bool operator==(const Move&) const = default;
};

// The move `key` with `modifiers` makes from `caret` in `pane`, in a dump that shows the bytes
// of `shown`; nothing for a key that does not move the caret.
std::optional<Move> forKey(int key, Qt::KeyboardModifiers modifiers, Caret caret,
                           PaneColumns::Pane pane, const ByteRange& shown);

} // namespace CaretKeys

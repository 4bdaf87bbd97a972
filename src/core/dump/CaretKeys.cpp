// SPDX-License-Identifier: GPL-3.0-or-later
#include "CaretKeys.h"

#include "DumpText.h"

#include <algorithm>

namespace CaretKeys {

std::optional<Move> forKey(int key, Qt::KeyboardModifiers modifiers, Caret caret,
                           PaneColumns::Pane pane, const ByteRange& shown) {
    constexpr int kLine = DumpText::kBytesPerLine;
    constexpr int kPage = DumpText::kLinesInView;
    const bool extend = modifiers & Qt::ShiftModifier;
    const bool control = modifiers & Qt::ControlModifier;
    const int at = caret.offset;
    const int lineStart = shown.start + (at - shown.start) / kLine * kLine;
    const bool hexDigit = pane == PaneColumns::Pane::Hex && !extend;
    // Up and down whole lines the caret keeps its digit, as a text box keeps its column.
    const auto lines = [&](int count) {
        const int to = at + count * kLine;
        const bool whole = to >= shown.start && to < shown.end();
        return Move{
            {std::clamp(to, shown.start, shown.end()), whole && hexDigit ? caret.nibble : 0},
            extend};
    };
    Move move{{at, 0}, extend};
    switch (key) {
    case Qt::Key_Left:
        move.to.offset = hexDigit && caret.nibble == 1 ? at : at - 1;
        break;
    case Qt::Key_Right:
        move.to.offset = at + 1;
        break;
    case Qt::Key_Up:
        return lines(-1);
    case Qt::Key_Down:
        return lines(1);
    case Qt::Key_PageUp:
        move = lines(-kPage);
        move.scroll = -kPage;
        return move;
    case Qt::Key_PageDown:
        move = lines(kPage);
        move.scroll = kPage;
        return move;
    case Qt::Key_Home:
        move.to.offset = control ? shown.start : lineStart;
        break;
    case Qt::Key_End:
        // On the line's last byte; selecting, through it.
        move.to.offset = control ? shown.end() : lineStart + kLine - (extend ? 0 : 1);
        break;
    default:
        return std::nullopt;
    }
    move.to.offset = std::clamp(move.to.offset, shown.start, shown.end());
    return move;
}

} // namespace CaretKeys

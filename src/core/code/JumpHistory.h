// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QList>

#include <optional>

// The way taken through the code by following jumps, kept as a browser keeps its pages: a jump
// remembers where it was followed from, back returns there, forward goes the same way again.
class JumpHistory {
public:
    // The selection leaves `from` for a jump's target: `from` is the way back, and the way
    // forward is forgotten.
    void leave(ByteRange from);
    // The place to go back to from `current`, which becomes the way forward; nothing when
    // there is no way back.
    std::optional<ByteRange> back(ByteRange current);
    // The place to go forward to from `current`, which becomes the way back again.
    std::optional<ByteRange> forward(ByteRange current);
    void clear();
    bool canGoBack() const { return !m_back.isEmpty(); }
    bool canGoForward() const { return !m_forward.isEmpty(); }

private:
    QList<ByteRange> m_back;
    QList<ByteRange> m_forward;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "JumpHistory.h"

void JumpHistory::leave(ByteRange from) {
    m_back.append(from);
    m_forward.clear();
}

std::optional<ByteRange> JumpHistory::back(ByteRange current) {
    if (m_back.isEmpty()) {
        return std::nullopt;
    }
    m_forward.append(current);
    return m_back.takeLast();
}

std::optional<ByteRange> JumpHistory::forward(ByteRange current) {
    if (m_forward.isEmpty()) {
        return std::nullopt;
    }
    m_back.append(current);
    return m_forward.takeLast();
}

void JumpHistory::clear() {
    m_back.clear();
    m_forward.clear();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "PointerDrag.h"

void PointerDrag::press(QPoint point, int byte) {
    m_pressedAt = point;
    m_pressedByte = byte;
    m_dragging = false;
}

void PointerDrag::release() {
    m_pressedAt.reset();
    m_dragging = false;
}

std::optional<PointerDrag::Selection> PointerDrag::moveTo(QPoint point, int byte,
                                                          int dragDistance) {
    if (!m_pressedAt) {
        return std::nullopt;
    }
    // Measured as Qt measures the start of a drag.
    m_dragging = m_dragging || (point - *m_pressedAt).manhattanLength() >= dragDistance;
    if (!m_dragging) {
        return std::nullopt;
    }
    if (byte >= m_pressedByte) {
        return Selection{m_pressedByte, byte + 1};
    }
    return Selection{m_pressedByte + 1, byte};
}

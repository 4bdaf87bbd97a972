// SPDX-License-Identifier: GPL-3.0-or-later
#include "OwnerPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace OwnerPlacement {

void placeBelow(QWidget& window, const QWidget& owner, Qt::AlignmentFlag edge) {
    constexpr int kGap = 8;
    const QRect screen = owner.screen()->availableGeometry();
    const QRect ownerFrame = owner.frameGeometry();
    // The window manager's frame around it, as wide as around the owner.
    const QSize outer = window.size() + (ownerFrame.size() - owner.size());
    int x = edge == Qt::AlignRight ? ownerFrame.right() + 1 - outer.width() : ownerFrame.left();
    int y = ownerFrame.bottom() + 1 + kGap;
    if (y + outer.height() > screen.bottom() + 1 &&
        ownerFrame.top() - kGap - outer.height() >= screen.top()) {
        y = ownerFrame.top() - kGap - outer.height();
    }
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - outer.width()));
    y = std::clamp(y, screen.top(), std::max(screen.top(), screen.bottom() + 1 - outer.height()));
    window.move(x, y);
}

} // namespace OwnerPlacement

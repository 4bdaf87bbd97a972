// SPDX-License-Identifier: GPL-3.0-or-later
#include "OwnerPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int kGap = 8;

// Along one axis, for a window `length` long: after the owner's frame (`first` to `last`), or
// before it when only that side has room.
int nextTo(int first, int last, int length, int screenFirst, int screenLast) {
    const int after = last + 1 + kGap;
    const int before = first - kGap - length;
    return after + length > screenLast + 1 && before >= screenFirst ? before : after;
}

// The window at `at`, as much of it on the screen as fits, its frame included.
void moveOnScreen(QWidget& window, const QWidget& owner, QPoint at) {
    const QRect screen = owner.screen()->availableGeometry();
    const QSize outer = window.size() + (owner.frameGeometry().size() - owner.size());
    window.move(std::clamp(at.x(), screen.left(),
                           std::max(screen.left(), screen.right() + 1 - outer.width())),
                std::clamp(at.y(), screen.top(),
                           std::max(screen.top(), screen.bottom() + 1 - outer.height())));
}

} // namespace

namespace OwnerPlacement {

void placeBelow(QWidget& window, const QWidget& owner, Qt::AlignmentFlag edge) {
    const QRect screen = owner.screen()->availableGeometry();
    const QRect ownerFrame = owner.frameGeometry();
    // The window manager's frame around it, as wide as around the owner.
    const QSize outer = window.size() + (ownerFrame.size() - owner.size());
    const bool roomBelow = ownerFrame.bottom() + 1 + kGap + outer.height() <= screen.bottom() + 1;
    const bool roomAbove = ownerFrame.top() - kGap - outer.height() >= screen.top();
    if (!roomBelow && !roomAbove) {
        // On a low screen the window goes beside the owner, its bottom edge with the owner's,
        // rather than over the owner's fields; the left first, as the listing takes the right.
        const int left = ownerFrame.left() - kGap - outer.width();
        moveOnScreen(window, owner,
                     {left >= screen.left() ? left : ownerFrame.right() + 1 + kGap,
                      ownerFrame.bottom() + 1 - outer.height()});
        return;
    }
    const int x =
        edge == Qt::AlignRight ? ownerFrame.right() + 1 - outer.width() : ownerFrame.left();
    moveOnScreen(window, owner,
                 {x, nextTo(ownerFrame.top(), ownerFrame.bottom(), outer.height(), screen.top(),
                            screen.bottom())});
}

void placeBeside(QWidget& window, const QWidget& owner) {
    const QRect screen = owner.screen()->availableGeometry();
    const QRect ownerFrame = owner.frameGeometry();
    const int outerWidth = window.width() + (ownerFrame.width() - owner.width());
    moveOnScreen(
        window, owner,
        {nextTo(ownerFrame.left(), ownerFrame.right(), outerWidth, screen.left(), screen.right()),
         ownerFrame.top()});
}

} // namespace OwnerPlacement

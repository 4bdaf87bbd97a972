// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>

class QWidget;

// Where a window of the main window's goes so that it hides none of the dump: next to it, a
// small gap apart, on the other side when there is no room, and inside the screen whatever
// happens.
namespace OwnerPlacement {

// Right under the owner, flush with its left or right edge; above it when there is no room
// below; beside it, on the left if it can, when there is room neither below nor above.
void placeBelow(QWidget& window, const QWidget& owner, Qt::AlignmentFlag edge);
// Right of the owner, level with its top; left of it when there is no room on the right.
void placeBeside(QWidget& window, const QWidget& owner);

} // namespace OwnerPlacement

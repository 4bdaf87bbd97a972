// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>

class QWidget;

// Where a small window of the main window's goes: right under it, flush with its left or
// right edge, so that it hides none of the dump; above it when there is no room below, and
// inside the screen whatever happens.
namespace OwnerPlacement {

void placeBelow(QWidget& window, const QWidget& owner, Qt::AlignmentFlag edge);

} // namespace OwnerPlacement

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QEvent;

// Ctrl+A is the window's Save As, not Select All. A widget that would claim the key for Select
// All asks this first in its event().
namespace SaveAsKey {

// True when `event` asks whether the widget takes that key: it is then left to the window.
bool leaveToWindow(QEvent* event);

} // namespace SaveAsKey

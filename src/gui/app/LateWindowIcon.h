// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// The application's icon, given to its windows once the main window has first been painted:
// rendering the icon from its SVG for the window manager takes milliseconds (more than the
// rest of the window's set-up), and the window's first appearance need not wait for them.
namespace LateWindowIcon {

// `window` must be shown already; if it has no native window yet, the icon is set at once.
void setAfterFirstPaint(const QWidget& window);

} // namespace LateWindowIcon

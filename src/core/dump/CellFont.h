// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QSize>

// The dump's lettering: a monospace font drawn in character cells of a fixed size in pixels,
// whichever monospace font the system has. The largest pixel size whose characters fit the
// cell is taken, and letter spacing makes up the rest of the width; the height is made up by
// the panes' line pitch (LinePitchLayout).
namespace CellFont {

// 8 x 15 pixels: 48 hex characters fill 384 pixels, 15 lines 225.
constexpr QSize kCell{8, 15};

QFont fit(const QFont& base, QSize cell = kCell);
// The height of a line of `font` as the text layout lays it out.
qreal naturalLineHeight(const QFont& font);

} // namespace CellFont

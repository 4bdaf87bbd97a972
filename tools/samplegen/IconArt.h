// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// The samples' 40 x 32 icons, drawn in the source as rows of '#' (black) and '.' (white) so
// that a reader sees them, and packed into the 160 icon bytes of the file format.
namespace IconArt {

QByteArray clockFace();     // a round clock face with its hands at ten past ten
QByteArray fallingBlocks(); // a well with stacked blocks and one falling piece
QByteArray questionMark();  // a question mark in a ring

} // namespace IconArt

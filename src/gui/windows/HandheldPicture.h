// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// The About box's background: a 380 x 237 front view of a REX-like handheld, drawn here. Its
// light, empty display lies in the middle-left, from x 146 to 310 and y 50 to 142, where the
// About labels are written.
QImage handheldPicture();

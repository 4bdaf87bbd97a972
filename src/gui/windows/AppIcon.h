// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>

// The program's icon, drawn here: a small handheld whose display shows the hex byte "0F".
// Everything is laid out on a 256-unit grid, so any size scales from the same drawing.
QImage appIconImage(int size);

// The icon at every size a desktop asks for: 16, 22, 24, 32, 48, 64, 128 and 256 pixels.
QIcon appIcon();

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

// The program's icon: data/art/org.keldor.Mobrin.svg, a small handheld whose display shows the
// hex byte "0F", built in as a resource. Qt's SVG icon engine renders it at whatever size is
// asked for, the first time that size is needed.
QIcon appIcon();

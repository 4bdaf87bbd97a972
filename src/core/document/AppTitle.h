// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's title: the window caption and the caption of its message boxes.
inline QString appTitle() {
    return QStringLiteral("Mobrin");
}

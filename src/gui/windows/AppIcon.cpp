// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppIcon.h"

QIcon appIcon() {
    return QIcon(QStringLiteral(":/art/org.keldor.Mobrin.svg"));
}

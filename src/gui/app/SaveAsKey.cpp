// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaveAsKey.h"

#include <QKeyEvent>

namespace SaveAsKey {

bool leaveToWindow(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return true;
    }
    return false;
}

} // namespace SaveAsKey

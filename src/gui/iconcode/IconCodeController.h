// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChangeTurn.h"

#include <QObject>
#include <QPointer>

class AddinDocument;
class IconCodeWindow;

// The icon-code window: opened by a double-click on the icon, it shows the icon as it is now,
// once a turn of changes is over, and closes when another file is chosen.
class IconCodeController : public QObject {
    Q_OBJECT

public:
    IconCodeController(const AddinDocument& document, const ChangeTurn& turn);
    ~IconCodeController() override;

    void show();
    void close();

private:
    void refresh();

    const AddinDocument& m_document;
    // A window of its own, not the main window's: closing the main window leaves it open.
    QPointer<IconCodeWindow> m_window;
};

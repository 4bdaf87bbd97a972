// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include "RunSession.h"
#include "RunWindow.h"

class MainActions;
class QWidget;

// File > "Run add-in": a run of the loaded add-in in the Run window beside the main window.
// The run lives as long as its window; the window's commands run from the queue, one after
// another, as the menus' do.
class RunController : public QObject {
    Q_OBJECT

public:
    // The run's parts, and the menus whose keys its window shares.
    RunController(const RunSession::Parts& parts, const MainActions& actions, QWidget& owner);
    ~RunController() override;

    void show();
    RunWindow* window() const { return m_window; }

private:
    RunSession::Parts m_parts;
    const MainActions& m_actions;
    QWidget& m_owner;
    QPointer<RunWindow> m_window;
};

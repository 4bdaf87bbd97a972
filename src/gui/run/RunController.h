// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include "RunWindow.h"

class AddinDocument;
class ChangeTurn;
class CommandQueue;
class DumpState;
class MainActions;
class Prompts;
class QWidget;

// File > "Run add-in": a run of the loaded add-in in the Run window beside the main window.
// The run lives as long as its window; the window's commands run from the queue, one after
// another, as the menus' do.
class RunController : public QObject {
    Q_OBJECT

public:
    struct Parts {
        Prompts& prompts;
        const AddinDocument& document;
        DumpState& dump;
        const ChangeTurn& turn;
        CommandQueue& queue;
        const MainActions& actions;
    };

    RunController(const Parts& parts, QWidget& owner);
    ~RunController() override;

    void show();
    RunWindow* window() const { return m_window; }

private:
    Parts m_parts;
    QWidget& m_owner;
    QPointer<RunWindow> m_window;
};

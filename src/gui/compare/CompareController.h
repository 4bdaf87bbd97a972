// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RangeStep.h"

#include <QObject>
#include <QPointer>

class CommandQueue;
class CompareCommands;
class CompareWindow;
class DumpView;
class MainActions;
class StatusPanels;
class QWidget;

// File > "Compare with..." and the difference keys: the comparison's window, and its marks
// in the dump, as the comparison is now; closing the window ends the comparison.
class CompareController : public QObject {
    Q_OBJECT

public:
    struct Parts {
        CompareCommands& compare;
        CommandQueue& queue;
        const MainActions& actions;
        DumpView& view;
        StatusPanels& status;
    };

    CompareController(const Parts& parts, QWidget& owner);

    void compare();
    // Next difference (Forward) or Previous difference (Backward).
    void step(RangeStep::Direction direction);

private:
    void showComparison();

    Parts m_parts;
    QWidget& m_owner;
    QPointer<CompareWindow> m_window;
};

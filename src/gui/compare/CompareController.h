// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RangeStep.h"
#include "WindowParts.h"

#include <QObject>
#include <QPointer>

class CompareCommands;
class CompareWindow;
class QWidget;

// File > "Compare with..." and the difference keys: the comparison's window, and its marks
// in the dump, as the comparison is now; closing the window ends the comparison.
class CompareController : public QObject {
    Q_OBJECT

public:
    CompareController(CompareCommands& compare, const WindowParts& parts, QWidget& owner);

    void compare();
    // Next difference (Forward) or Previous difference (Backward).
    void step(RangeStep::Direction direction);

private:
    void showComparison();

    CompareCommands& m_compare;
    WindowParts m_parts;
    QWidget& m_owner;
    QPointer<CompareWindow> m_window;
};

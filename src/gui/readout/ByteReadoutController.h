// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

class AddinDocument;
class ByteReadoutWindow;
class ChangeTurn;
class DumpState;
class EditController;
class MainActions;
class QWidget;

// The data inspector: shows its window, and writes the values typed in it through the edit
// controller, so that each is one step to undo.
class ByteReadoutController : public QObject {
    Q_OBJECT

public:
    ByteReadoutController(const DumpState& dump, const ChangeTurn& turn, EditController& edits,
                          const MainActions& actions, QWidget& owner);
    ~ByteReadoutController() override;

    void show();

private:
    const DumpState& m_dump;
    const ChangeTurn& m_turn;
    EditController& m_edits;
    const MainActions& m_actions;
    QWidget& m_owner;
    QPointer<ByteReadoutWindow> m_window;
};

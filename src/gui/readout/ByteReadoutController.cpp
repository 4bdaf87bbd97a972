// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteReadoutController.h"

#include "ByteReadoutWindow.h"
#include "DumpState.h"
#include "EditController.h"
#include "MainActions.h"

ByteReadoutController::ByteReadoutController(const DumpState& dump, const ChangeTurn& turn,
                                             EditController& edits, const MainActions& actions,
                                             QWidget& owner)
    : m_dump(dump), m_turn(turn), m_edits(edits), m_actions(actions), m_owner(owner) {}

ByteReadoutController::~ByteReadoutController() {
    // It reads the dump's state, which goes with the main window.
    delete m_window;
}

void ByteReadoutController::show() {
    if (!m_dump.document().isLoaded()) {
        return;
    }
    if (!m_window) {
        m_window = new ByteReadoutWindow(m_dump, m_turn, &m_owner);
        m_actions.shareKeys(*m_window);
        connect(m_window, &ByteReadoutWindow::valueTyped, this,
                [this](ByteReadout::Value value, const QString& text) {
                    m_edits.setValue(value, text, [this](const QString& refusal) {
                        if (m_window) {
                            // A refused value gives way to the byte as it is.
                            m_window->showNote(refusal);
                            m_window->refresh();
                        }
                    });
                });
    }
    m_window->refresh();
    m_window->present();
}

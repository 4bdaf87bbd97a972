// SPDX-License-Identifier: GPL-3.0-or-later
#include "CompareController.h"

#include "CommandQueue.h"
#include "CompareCommands.h"
#include "CompareWindow.h"
#include "DumpView.h"
#include "MainActions.h"
#include "StatusPanels.h"

CompareController::CompareController(CompareCommands& compare, const WindowParts& parts,
                                     QWidget& owner)
    : m_compare(compare), m_parts(parts), m_owner(owner) {
    connect(&compare, &CompareCommands::changed, this, &CompareController::showComparison);
}

void CompareController::compare() {
    if (m_compare.compareWithChosen()) {
        m_parts.status.showNote(m_compare.comparison()->lengthNote());
    }
}

void CompareController::step(RangeStep::Direction direction) {
    m_parts.status.showNote(m_compare.step(direction));
}

void CompareController::showComparison() {
    CompareCommands& compare = m_compare;
    if (!compare.isComparing()) {
        if (m_window) {
            m_window->hide();
        }
        return;
    }
    if (!m_window) {
        m_window = new CompareWindow(&m_owner);
        m_parts.actions.shareKeys(*m_window);
        connect(m_window, &CompareWindow::stepRequested, this,
                [this](RangeStep::Direction direction) {
                    m_parts.queue.request([this, direction] { step(direction); });
                });
        // Closing the window ends the comparison and takes the marks away.
        connect(m_window, &CompareWindow::closed, this,
                [this] { m_parts.queue.request([this] { m_compare.end(); }); });
    }
    m_window->showComparison(compare.summary(), compare.comparison()->headerDifferences());
    if (!m_window->isVisible()) {
        m_window->present();
    }
}

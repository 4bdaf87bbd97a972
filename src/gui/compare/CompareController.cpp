// SPDX-License-Identifier: GPL-3.0-or-later
#include "CompareController.h"

#include "CommandQueue.h"
#include "CompareCommands.h"
#include "CompareWindow.h"
#include "DumpView.h"
#include "MainActions.h"
#include "StatusPanels.h"

CompareController::CompareController(const Parts& parts, QWidget& owner)
    : m_parts(parts), m_owner(owner) {
    connect(&parts.compare, &CompareCommands::changed, this, &CompareController::showComparison);
}

void CompareController::compare() {
    if (m_parts.compare.compareWithChosen()) {
        m_parts.status.showNote(m_parts.compare.comparison()->lengthNote());
    }
}

void CompareController::step(RangeStep::Direction direction) {
    m_parts.status.showNote(m_parts.compare.step(direction));
}

void CompareController::showComparison() {
    CompareCommands& compare = m_parts.compare;
    m_parts.view.markRuns(compare.shownRuns());
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
                [this] { m_parts.queue.request([this] { m_parts.compare.end(); }); });
    }
    m_window->showComparison(compare.summary(), compare.comparison()->headerDifferences());
    if (!m_window->isVisible()) {
        m_window->present();
    }
}

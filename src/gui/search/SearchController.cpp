// SPDX-License-Identifier: GPL-3.0-or-later
#include "SearchController.h"

#include "CommandQueue.h"
#include "DumpPane.h"
#include "DumpView.h"
#include "FindBox.h"
#include "FindCommands.h"
#include "GoToBox.h"
#include "MainActions.h"
#include "StatusPanels.h"

SearchController::SearchController(const AddinDocument& document, DumpState& dump,
                                   const WindowParts& parts, QWidget& owner)
    : m_parts(parts), m_owner(owner), m_finds(std::make_unique<FindCommands>(document, dump)) {}

SearchController::~SearchController() = default;

void SearchController::showFind() {
    if (!m_findBox) {
        m_findBox = new FindBox(&m_owner);
        m_parts.actions.shareKeys(*m_findBox);
        connect(m_findBox, &FindBox::findRequested, this, [this](RangeStep::Direction direction) {
            m_parts.queue.request([this, direction] { find(direction); });
        });
    }
    m_findBox->present();
}

void SearchController::find(RangeStep::Direction direction) {
    // F3 before any pattern was typed: the box, to type one.
    if (!m_findBox) {
        showFind();
        return;
    }
    m_parts.queue.finishEdits();
    const FindCommands::Outcome outcome = m_finds->find(m_findBox->query(), direction);
    m_findBox->showRefusal(outcome.refusal);
    if (!outcome.refusal.isEmpty()) {
        m_findBox->present();
        return;
    }
    m_parts.status.showNote(outcome.note);
}

void SearchController::showGoTo() {
    if (!m_goToBox) {
        m_goToBox = new GoToBox(&m_owner);
        m_parts.actions.shareKeys(*m_goToBox);
        connect(m_goToBox, &GoToBox::goRequested, this,
                [this] { m_parts.queue.request([this] { goTo(); }); });
    }
    m_goToBox->present();
}

void SearchController::goTo() {
    m_parts.queue.finishEdits();
    const FindCommands::Outcome outcome = m_finds->goTo(m_goToBox->typed());
    m_goToBox->showRefusal(outcome.refusal);
    if (!outcome.refusal.isEmpty()) {
        return;
    }
    // There: the box has done its work, and the keys go back to the dump.
    m_goToBox->hide();
    m_owner.activateWindow();
    m_parts.view.activePane()->setFocus(Qt::OtherFocusReason);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "NewAddinController.h"

#include "CommandQueue.h"
#include "NewAddinCommands.h"
#include "NewAddinDialog.h"

NewAddinController::NewAddinController(Prompts& prompts, AddinDocument& document,
                                       CommandQueue& queue, QWidget& owner)
    : m_queue(queue), m_owner(owner),
      m_commands(std::make_unique<NewAddinCommands>(prompts, document)) {}

NewAddinController::~NewAddinController() = default;

void NewAddinController::show() {
    if (!m_dialog) {
        m_dialog = new NewAddinDialog(&m_owner);
        connect(m_dialog, &NewAddinDialog::codeBrowseRequested, this, [this] {
            m_queue.request([this] {
                if (const auto path = m_commands->chooseCode(m_dialog->fields().codePath)) {
                    m_dialog->setCodePath(*path);
                }
            });
        });
        connect(m_dialog, &NewAddinDialog::iconBrowseRequested, this, [this] {
            m_queue.request([this] {
                if (const auto path = m_commands->chooseIcon(m_dialog->fields().iconPath)) {
                    m_dialog->setIconPath(*path);
                }
            });
        });
        connect(m_dialog, &NewAddinDialog::createRequested, this,
                [this] { m_queue.requestAfterEdits([this] { create(); }); });
    }
    m_dialog->showRefusal({});
    m_dialog->open();
}

void NewAddinController::create() {
    const NewAddinCommands::Outcome outcome = m_commands->create(m_dialog->fields());
    m_dialog->showRefusal(outcome.refusal);
    if (outcome.created) {
        m_dialog->accept();
        emit created(m_commands->suggestedPath());
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListingController.h"

#include "AddinDocument.h"
#include "CodeListingWindow.h"
#include "CommandQueue.h"
#include "ListingModel.h"
#include "MainActions.h"
#include "MarksController.h"
#include "SourceCommands.h"

ListingController::ListingController(const Parts& parts, QWidget& owner)
    : m_parts(parts), m_owner(owner),
      m_sources(std::make_unique<SourceCommands>(parts.prompts, parts.document)) {}

ListingController::~ListingController() {
    // It reads the document and the dump's state, which go with the main window.
    delete m_window;
}

void ListingController::show() {
    if (!m_parts.document.isCompleteAddin()) {
        return;
    }
    if (!m_window) {
        auto* model = new ListingModel(m_parts.document, m_parts.dump, m_parts.turn);
        m_window = new CodeListingWindow(*model, &m_owner);
        // The model lives as long as its window: nothing is listed while no window shows it.
        model->setParent(m_window);
        m_parts.actions.shareKeys(*m_window);
        m_window->addMarkActions(m_parts.marks.listingActions(*m_window));
        connect(m_window, &CodeListingWindow::saveSourceRequested, this,
                [this] { m_parts.queue.requestAfterEdits([this] { m_sources->saveSource(); }); });
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_window->bringMarkIntoView();
}

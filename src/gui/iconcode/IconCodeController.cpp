// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconCodeController.h"

#include "AddinDocument.h"
#include "IconCode.h"
#include "IconCodeWindow.h"

IconCodeController::IconCodeController(const AddinDocument& document, const ChangeTurn& turn)
    : m_document(document) {
    connect(&turn, &ChangeTurn::ended, this, [this](const ChangeTurn::Changes& changes) {
        if (changes.content()) {
            refresh();
        }
    });
}

IconCodeController::~IconCodeController() {
    // The program's end takes it along.
    delete m_window;
}

void IconCodeController::show() {
    if (!m_document.hasIcon()) {
        return;
    }
    if (!m_window) {
        m_window = new IconCodeWindow();
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    refresh();
}

void IconCodeController::close() {
    if (m_window) {
        m_window->close();
    }
}

void IconCodeController::refresh() {
    if (m_window && m_document.isLoaded()) {
        m_window->setCode(IconCode::fromBytes(m_document.header().icon));
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderController.h"

#include "AppTitle.h"
#include "CommandQueue.h"
#include "DumpState.h"
#include "FieldCommands.h"
#include "FileCommands.h"
#include "HeaderArea.h"
#include "IconCommands.h"
#include "Prompts.h"

HeaderController::HeaderController(const Parts& parts, HeaderArea& area, QObject* parent)
    : QObject(parent), m_parts(parts), m_area(area),
      m_fields(std::make_unique<FieldCommands>(parts.prompts, parts.document)),
      m_icons(std::make_unique<IconCommands>(parts.prompts, parts.document)) {
    connectArea();
    connect(&parts.turn, &ChangeTurn::ended, this, &HeaderController::follow);
}

HeaderController::~HeaderController() = default;

void HeaderController::connectArea() {
    CommandQueue& queue = m_parts.queue;
    // An edit ends when the focus moves on; its question waits until that move is over.
    connect(&m_area, &HeaderArea::fieldLeft, this, [this, &queue](AddinDocument::Field field) {
        queue.request([this, field] { finishEdit(field); });
    });
    // However the box is ticked (mouse, keys, a screen reader), the dump follows.
    connect(&m_area, &HeaderArea::stripHeaderToggled, this, [this, &queue](bool strip) {
        queue.requestAfterEdits([this, strip] { m_parts.dump.setStripHeader(strip); });
    });
    connect(&m_area, &HeaderArea::iconCodeRequested, this, &HeaderController::iconCodeRequested);
    connect(&m_area, &HeaderArea::iconReplaceRequested, this,
            [this, &queue] { queue.requestAfterEdits([this] { m_icons->replaceFromDialog(); }); });
    // A picture dropped on the icon replaces it; anything else is opened, as anywhere else.
    connect(&m_area, &HeaderArea::fileDroppedOnIcon, this, [this, &queue](const QString& path) {
        queue.requestAfterEdits([this, path] {
            if (!m_icons->takesDrop(path)) {
                m_parts.files.openPath(path);
            } else {
                m_icons->replaceFrom(path);
            }
        });
    });
}

void HeaderController::finishEdits() {
    finishEdit(AddinDocument::Field::Name);
    finishEdit(AddinDocument::Field::Description);
}

void HeaderController::finishEdit(AddinDocument::Field field) {
    const std::optional<QString> text = m_area.endEdit(field);
    // A written patch shows itself through the document; anything else leaves the image's own
    // text to be shown again.
    if (text && !m_fields->patch(field, *text)) {
        m_area.showField(field, m_parts.document);
    }
}

void HeaderController::showProperties() {
    const AddinDocument& document = m_parts.document;
    if (!document.isLoaded()) {
        return;
    }
    m_area.show(document);
    if (!document.header().complete()) {
        m_parts.prompts.tell(document.header().problemText(), appTitle());
    }
}

void HeaderController::follow(const ChangeTurn::Changes& changes) {
    const AddinDocument& document = m_parts.document;
    const bool shownAfresh = changes.dump & DumpState::Change::Content;
    if (!document.isLoaded() || (!shownAfresh && !changes.content())) {
        return;
    }
    m_area.showStripHeader(m_parts.dump.stripHeader(), true);
    // Bytes typed in the code leave the header's boxes as they are, unless the approximate
    // code size (the last byte that is not FF) moved.
    const AddinHeader& header = document.header();
    const bool headerAsShown = !changes.replaced && !changes.afresh && !shownAfresh &&
                               !changes.headSizeChanged && header.complete() &&
                               changes.bytes.start >= header.headSize &&
                               header.codeSize == m_shownCodeSize;
    m_shownCodeSize = header.codeSize;
    if (headerAsShown) {
        return;
    }
    m_area.show(document);
    // Another image, a confirmed patch or the header stripped is shown as Properties shows it,
    // its message asked after the command that caused it; typed bytes only refresh the boxes.
    const bool asProperties =
        changes.replaced || changes.afresh || (shownAfresh && changes.bytes.isEmpty());
    if (asProperties && !document.header().complete()) {
        m_parts.queue.request([this] {
            const AddinDocument& document = m_parts.document;
            if (document.isLoaded() && !document.header().complete()) {
                m_parts.prompts.tell(document.header().problemText(), appTitle());
            }
        });
    }
}

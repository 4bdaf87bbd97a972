// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditController.h"

#include "AddinDocument.h"
#include "CommandQueue.h"
#include "DumpPane.h"
#include "DumpView.h"
#include "EditCommands.h"
#include "StatusPanels.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

EditController::EditController(Prompts& prompts, AddinDocument& document, DumpState& dump,
                               CommandQueue& queue, DumpView& view, StatusPanels& status,
                               QObject* parent)
    : QObject(parent), m_document(document), m_dump(dump), m_queue(queue), m_view(view),
      m_status(status), m_edits(std::make_unique<EditCommands>(prompts, document, dump)) {
    connect(&view, &DumpView::typed, this, [this](DumpState::Pane pane, const QString& text) {
        edit([this, pane, text] { return m_edits->type(pane, text); });
    });
    // A note speaks of the selection it was made for.
    connect(&dump, &DumpState::changed, this, [this](DumpState::Changes what) {
        if (what & (DumpState::Change::Content | DumpState::Change::Selection)) {
            m_status.showNote({});
        }
    });
}

EditController::~EditController() = default;

bool EditController::hasSelection() const {
    return m_edits->hasSelection();
}

void EditController::edit(std::function<QString()> command) {
    m_queue.requestAfterEdits([this, command = std::move(command)] {
        const QString refusal = command();
        m_status.showNote(refusal.isEmpty() ? m_document.header().problemText() : refusal);
    });
}

DumpState::Pane EditController::editedPane() const {
    const DumpPane* focused = m_view.focusedPane();
    return focused ? focused->kind() : m_dump.leader();
}

void EditController::undo() {
    edit([this] {
        m_document.undoStack().undo();
        return QString();
    });
}

void EditController::redo() {
    edit([this] {
        m_document.undoStack().redo();
        return QString();
    });
}

void EditController::copy() {
    m_queue.requestAfterEdits([this] {
        if (!m_edits->hasSelection()) {
            return;
        }
        auto* data = new QMimeData;
        data->setText(m_edits->copyText(m_dump.leader()));
        data->setData(QString::fromLatin1(EditCommands::kBytesMimeType), m_edits->copyBytes());
        QGuiApplication::clipboard()->setMimeData(data);
    });
}

void EditController::copyHex() {
    m_queue.requestAfterEdits([this] {
        if (const QString hex = m_edits->copyHex(); !hex.isEmpty()) {
            QGuiApplication::clipboard()->setText(hex);
        }
    });
}

void EditController::paste() {
    edit([this] {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        const QString bytesType = QString::fromLatin1(EditCommands::kBytesMimeType);
        if (data && data->hasFormat(bytesType)) {
            return m_edits->pasteBytes(data->data(bytesType));
        }
        return m_edits->paste(editedPane(), data ? data->text() : QString());
    });
}

void EditController::fill() {
    edit([this] { return m_edits->fill(); });
}

void EditController::selectAll() {
    m_queue.requestAfterEdits([this] { m_edits->selectAll(); });
}

void EditController::setValue(ByteReadout::Value value, const QString& text,
                              std::function<void(const QString&)> shown) {
    edit([this, value, text, shown = std::move(shown)] {
        QString refusal = m_edits->setValue(value, text);
        shown(refusal);
        return refusal;
    });
}

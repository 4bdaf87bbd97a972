// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteReadout.h"
#include "DumpState.h"

#include <QObject>

#include <functional>
#include <memory>

class AddinDocument;
class CommandQueue;
class DumpView;
class EditCommands;
class Prompts;
class StatusPanels;

// The Edit menu and typing in the dump: each edit runs from the command queue after the
// header's edits, and its refusal, or else a header the edit left damaged, is named in the
// status bar. Copy puts the bytes on the clipboard beside the pane's text, and Paste over
// prefers them.
class EditController : public QObject {
    Q_OBJECT

public:
    EditController(Prompts& prompts, AddinDocument& document, DumpState& dump, CommandQueue& queue,
                   DumpView& view, StatusPanels& status, QObject* parent = nullptr);
    ~EditController() override;

    bool hasSelection() const;
    void undo();
    void redo();
    void copy();
    void copyHex();
    void paste();
    void fill();
    void selectAll();
    // A value typed in the data inspector; `shown` hears the refusal (empty when written).
    void setValue(ByteReadout::Value value, const QString& text,
                  std::function<void(const QString&)> shown);

private:
    // Runs an edit of the bytes: `command` gives its refusal, empty when it was done.
    void edit(std::function<QString()> command);
    // Keys and Paste go to the pane with the focus; without one, to the leading pane.
    DumpState::Pane editedPane() const;

    AddinDocument& m_document;
    DumpState& m_dump;
    CommandQueue& m_queue;
    DumpView& m_view;
    StatusPanels& m_status;
    std::unique_ptr<EditCommands> m_edits;
};

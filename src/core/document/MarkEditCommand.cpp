// SPDX-License-Identifier: GPL-3.0-or-later
#include "MarkEditCommand.h"

#include "AddinDocument.h"

MarkEditCommand::MarkEditCommand(AddinDocument& document, AddinMarks before, AddinMarks after,
                                 const QString& caption)
    : QUndoCommand(caption), m_document(document), m_before(std::move(before)),
      m_after(std::move(after)) {}

void MarkEditCommand::redo() {
    m_document.putMarks(m_after);
}

void MarkEditCommand::undo() {
    m_document.putMarks(m_before);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinMarks.h"

#include <QUndoCommand>

class AddinDocument;

// One change of the author's marks on the document's undo stack: the marks before and after,
// so that Undo takes a kind, a label, a comment or a bookmark back as it takes back bytes.
class MarkEditCommand : public QUndoCommand {
public:
    MarkEditCommand(AddinDocument& document, AddinMarks before, AddinMarks after,
                    const QString& caption);

    void redo() override;
    void undo() override;

private:
    AddinDocument& m_document;
    AddinMarks m_before;
    AddinMarks m_after;
};

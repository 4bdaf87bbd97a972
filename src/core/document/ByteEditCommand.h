// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QByteArray>
#include <QUndoCommand>

class AddinDocument;

// One change of the image's bytes on the document's undo stack: the bytes a range held before
// and after. Every change goes through one of these, so any of them can be taken back. Typing
// at the caret merges into the step before when it goes on where that one ended, as a text
// editor merges typed characters into one undo step.
class ByteEditCommand : public QUndoCommand {
public:
    // What the change was, for the undo and redo captions ("Undo Typing").
    enum class Kind { PatchName, PatchDescription, PatchIcon, Typing, Paste, Fill, SetValue };

    ByteEditCommand(AddinDocument& document, int offset, QByteArray before, QByteArray after,
                    Kind kind);

    static QString caption(Kind kind);

    Kind kind() const { return m_kind; }
    ByteRange range() const { return {m_offset, int(m_after.size())}; }

    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    AddinDocument& m_document;
    int m_offset;
    QByteArray m_before;
    QByteArray m_after;
    Kind m_kind;
    // A confirmed patch is shown afresh the first time, as the patch always was; taking it
    // back and doing it again repaint in place.
    bool m_done = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinDocument.h"
#include "ByteRange.h"
#include "DumpState.h"

#include <QObject>
#include <QTimer>

// The changes to the document and the dump's state within one turn of the event loop, told
// once when the turn is over. The views that show more than the bytes (the header, the icon
// code, the listing, the inspector, the comparison, the status bar, the menus) follow this
// rather than each signal, so that a held key or a script of undos costs each of them one
// update, not one per step.
class ChangeTurn : public QObject {
    Q_OBJECT

public:
    struct Changes {
        bool replaced = false;        // another image: Open or a new add-in
        ByteRange bytes;              // every byte changed in place, as one range; empty if none
        bool afresh = false;          // a change the views show afresh (a confirmed patch)
        bool headSizeChanged = false; // a change moved where the code starts
        bool path = false;            // the path the next save writes
        bool marks = false;           // the author's marks (AddinDocument::marks())
        DumpState::Changes dump;      // what the dump's state changed

        // Bytes changed, in place or by a new image.
        bool content() const { return replaced || !bytes.isEmpty(); }
    };

    ChangeTurn(const AddinDocument& document, const DumpState& dump, QObject* parent = nullptr);

signals:
    void ended(const ChangeTurn::Changes& changes);

private:
    void documentChanged(const AddinDocument::ByteChange& change);
    // The turn's end is told once, whatever changes before it.
    void schedule();
    void end();

    Changes m_pending;
    // A timer of no delay fires once the events already waiting are done: a run of edits (a
    // held key, a script of undos) ends one turn.
    QTimer m_end;
};

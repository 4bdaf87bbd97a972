// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"
#include "PaneSync.h"

#include <QByteArrayView>
#include <QFlags>
#include <QObject>

class AddinDocument;

// What the dump shows of the document: whether the header is stripped, the file offset of the
// dump's first byte, the first line in view, the selection and which pane leads. The one owner
// of that state: the panes, the status bar and the code listing observe it, and anything that
// selects (the panes, the listing, a command) sends it a request.
class DumpState : public QObject {
    Q_OBJECT

public:
    enum class Change {
        Content = 0x1,   // other bytes are shown: a new or patched image, the header stripped
        Selection = 0x2, // the selection moved or changed its length
        TopLine = 0x4,   // another line is the first in view
        Leader = 0x8,    // the other pane leads
    };
    Q_DECLARE_FLAGS(Changes, Change)

    // A range of bytes in file offsets; a length of 0 is the caret before `start`.
    using Selection = ByteRange;

    explicit DumpState(const AddinDocument& document, QObject* parent = nullptr);

    bool stripHeader() const { return m_stripHeader; }
    // The file offset of the dump's first byte: after the header while it is stripped.
    int dumpStart() const;
    // The bytes the dump shows, and where they lie in the image.
    QByteArrayView shownBytes() const;
    ByteRange shownRange() const;
    // The selection, or the caret, in file offsets.
    Selection selection() const { return m_selection; }
    // The selection's start counted from the dump's first byte, as the status bar shows it.
    int dumpPosition() const { return m_selection.start - dumpStart(); }
    // The first line in view, 1-based.
    int topLine() const { return m_topLine; }
    PaneSync::Pane leader() const { return m_leader; }

    // Shows the image with or without its header; the selection goes back to the first byte.
    void setStripHeader(bool strip);
    // Selects `length` bytes from file offset `start` and brings them into view. A start
    // outside the dump (a hidden header byte, past the end) moves nothing and gives false; a
    // length past the end is cut there.
    bool select(int start, int length);
    void setLeader(PaneSync::Pane pane);
    // What the leading pane shows now, read by the dump's sync pass: takes its selection and
    // first line as the state's and says what the follower and the address column must do.
    PaneSync::Step followPanes(const PaneSync::Reading& reading);

signals:
    void changed(DumpState::Changes what);
    // select() was asked from outside the panes: the leading pane selects it and scrolls to it.
    void selectRequested(DumpState::Selection selection);

private:
    void showAfresh();

    const AddinDocument& m_document;
    PaneSync m_sync;
    bool m_stripHeader = false;
    Selection m_selection;
    int m_topLine = 1;
    PaneSync::Pane m_leader = PaneSync::Pane::Hex;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DumpState::Changes)

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinDocument.h"
#include "ByteHighlights.h"
#include "ByteRange.h"
#include "PaneColumns.h"

#include <QByteArrayView>
#include <QFlags>
#include <QObject>

// What the dump shows of the document: whether the header is stripped, the file offset of the
// dump's first byte, the first line in view, the one caret (byte and hex digit), the selection
// and which pane leads, and the bytes highlighted. The one owner of that state: both panes
// paint from it, the status bar and the code listing observe it, and anything that moves the
// caret or selects (the panes, the listing, a command) asks it to. The bytes changed since the
// last Open or Save are highlighted as the document tells them.
class DumpState : public QObject {
    Q_OBJECT

public:
    using Pane = PaneColumns::Pane;

    enum class Change {
        Content = 0x1,   // other bytes are shown: a new image, a confirmed patch, stripping
        Selection = 0x2, // the caret or the selection moved, or the selection changed length
        TopLine = 0x4,   // another line is the first in view
        Leader = 0x8,    // the other pane leads
    };
    Q_DECLARE_FLAGS(Changes, Change)

    // A range of bytes in file offsets; a length of 0 is the caret before `start`.
    using Selection = ByteRange;

    explicit DumpState(const AddinDocument& document, QObject* parent = nullptr);

    const AddinDocument& document() const { return m_document; }
    bool stripHeader() const { return m_stripHeader; }
    // The file offset of the dump's first byte: after the header while it is stripped.
    int dumpStart() const;
    // The bytes the dump shows, and where they lie in the image.
    QByteArrayView shownBytes() const;
    ByteRange shownRange() const;
    // The dump's lines, 16 bytes each; an empty dump still has one, empty.
    int lineCount() const;
    // The selection, or the caret, in file offsets.
    Selection selection() const;
    // The selection's start counted from the dump's first byte, as the status bar shows it.
    int dumpPosition() const { return selection().start - dumpStart(); }
    // Where typing goes: the file offset of the caret's byte (the dump's end after its last
    // byte) and, in the hex pane, its digit (0 the high one, 1 the low one).
    int caret() const { return m_caret; }
    int nibble() const { return m_nibble; }
    // The first line in view, 1-based, and the last line that can be first.
    int topLine() const { return m_topLine; }
    int lastTopLine() const;
    Pane leader() const { return m_leader; }
    // What the panes highlight; a comparison sets its own kind here.
    ByteHighlights& highlights() { return m_highlights; }
    const ByteHighlights& highlights() const { return m_highlights; }

    // Shows the image with or without its header; the selection goes back to the first byte.
    void setStripHeader(bool strip);
    // Selects `length` bytes from file offset `start` and brings them into view, their first
    // line first. A start outside the dump (a hidden header byte, past the end) moves nothing
    // and gives false; a length past the end is cut there.
    bool select(int start, int length);
    // Puts the caret on file offset `caret`, digit `nibble`, and selects from `anchor` to it
    // (either way round; an empty selection when they meet), both kept inside the dump. The
    // caret's line is brought into view.
    void setCaret(int anchor, int caret, int nibble = 0);
    // Moves the caret to `offset`: with `extend` the selection grows or shrinks from where it
    // was anchored, without it the selection goes.
    void moveCaret(int offset, int nibble, bool extend);
    // Scrolls: `line` becomes the first line in view, kept between 1 and lastTopLine().
    void setTopLine(int line);
    // Scrolls the fewest lines that bring file offset `offset` into view, if the dump shows
    // it; the caret and the selection stay.
    void bringIntoView(int offset);
    void setLeader(Pane pane);

signals:
    void changed(DumpState::Changes what);
    // Bytes the dump shows changed in place (file offsets): the panes repaint them and keep
    // the caret and the lines in view.
    void bytesChanged(ByteRange range);

private:
    void showAfresh();
    // The author's bookmarks and other marks, as highlights.
    void showMarks();
    void documentChanged(const AddinDocument::ByteChange& change);
    int clamped(int offset) const;
    int lineOf(int offset) const;
    // The top line that brings line `line` into view with the fewest lines scrolled.
    int topLineShowing(int line, int from) const;
    void announce(Changes what, int oldTopLine);

    const AddinDocument& m_document;
    bool m_stripHeader = false;
    int m_anchor = 0;
    int m_caret = 0;
    int m_nibble = 0;
    int m_topLine = 1;
    Pane m_leader = Pane::Hex;
    ByteHighlights m_highlights;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(DumpState::Changes)

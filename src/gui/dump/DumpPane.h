// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DumpState.h"
#include "PointerDrag.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>

// One dump pane, painted from the bytes the dump's state shows: the hex pane, two digits and
// a space a byte, or the ASCII pane, one character a byte, 16 bytes to a line in 8 x 15 cells.
// The caret, the selection, the highlights and the first line in view are the state's, shared
// by both panes; the pane paints them, and sends the state what the keys (CaretKeys) and the
// pointer (PointerDrag) ask. Text typed in it goes out as typed() for the window to edit with.
// Positions in characters (select(), selectionStart(), ...) count the pane's text without line
// breaks.
class DumpPane : public QAbstractScrollArea {
    Q_OBJECT

public:
    using Pane = DumpState::Pane;

    DumpPane(DumpState& state, Pane kind, QWidget* parent = nullptr);

    DumpState& state() const { return m_state; }
    Pane kind() const { return m_kind; }
    int columns() const;
    int charsPerByte() const;
    void setCellFont(const QFont& font);
    // Where the first character stands inside the pane, frame included, and how many lines
    // are in view below it: the space around them lies outside the scrolled area, so that no
    // part of a further line shows.
    void setTextArea(QPoint origin, int lines);

    // The pane's text, as a text box would hold it, without line breaks.
    QString dumpText() const;
    int dumpLength() const;
    // The first character of the top line in view.
    int firstVisibleChar() const;

    // The selection as the pane shows it (whole groups in the hex pane), and the caret.
    int selectionStart() const;
    int selectionLength() const;
    int caretPosition() const;
    // Selects the bytes `length` characters from `start` stand for.
    void select(int start, int length);
    // The caret's place and a character's cell, in the scrolled area's coordinates.
    QRect cursorRect() const;
    QRect characterRect(int position) const;
    // The character under `point` of the scrolled area, kept inside the text.
    int positionAt(QPoint point) const;

signals:
    void focusGained();
    void pointerMoved();
    // Text the user typed in the pane, to write over its bytes.
    void typed(const QString& text);

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void stateChanged(DumpState::Changes what);
    void bytesChanged(const ByteRange& range);
    // Repaints the lines in view that hold bytes of `range` (file offsets).
    void repaintBytes(const ByteRange& range);
    // The selection and the caret moved: the lines they left and the lines they reach.
    void repaintSelection();
    void showScrollRange();
    void blink(bool on);
    // The byte under `point` of the scrolled area, and which of its characters (in the hex
    // pane 0 and 1 its digits, 2 the space after them).
    std::pair<int, int> byteAt(QPoint point) const;

    DumpState& m_state;
    Pane m_kind;
    QBasicTimer m_blink;
    bool m_caretShown = true;
    // The bytes the selection and the caret were last painted on.
    ByteRange m_selectionShown;
    PointerDrag m_drag;
    int m_ascent = 12;
};

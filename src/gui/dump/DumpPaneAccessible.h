// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QAccessibleWidget>

class DumpPane;

// A dump pane as screen readers see a text box: its text (the pane's lines, a line feed
// between two), the caret, the selection and where each character stands, read over the
// accessibility interface, and the events that tell them it changed. Offsets here count the
// line feeds; the pane's own do not.
class DumpPaneAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DumpPaneAccessible(DumpPane* pane);

    // Makes every dump pane answer through this class.
    static void install();
    // A pane position as an offset in the accessible text.
    static int toText(const DumpPane& pane, int position);
    // The pane's text as assistive technology reads it, line breaks included.
    static QString textOf(const DumpPane& pane);

    // What a pane tells assistive technology, while any listens: the caret or the selection
    // moved; bytes of `range` (file offsets) changed in place; other bytes are shown.
    static void caretMoved(DumpPane& pane);
    static void bytesChanged(DumpPane& pane, const ByteRange& range);
    static void textReplaced(DumpPane& pane);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text which) const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    DumpPane* pane() const;
    int toPane(int offset) const;
    QString wholeText() const;
    static DumpPaneAccessible* of(DumpPane& pane);

    // The text assistive technology last heard: a text update names the text it replaced.
    QString m_spokenText;
};

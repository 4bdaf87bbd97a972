// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PaneLines.h"

#include <QPlainTextEdit>
#include <QTextCharFormat>

// One dump pane: read-only, selectable and copyable, with a keyboard caret. The dump text has
// no line terminators; the pane shows it `columns` characters to a line, each line a block of
// its own, so Qt lays out only the lines in view. Every position this class takes or reports
// counts characters of the dump text, never the line breaks between the blocks.
class DumpPane : public QPlainTextEdit {
    Q_OBJECT

public:
    // Lines stand `linePitch` pixels apart, whatever the font's own line height.
    DumpPane(int columns, qreal linePitch, QWidget* parent = nullptr);

    int columns() const { return m_lines.columns(); }
    void setCellFont(const QFont& font);
    // Where the first character stands inside the pane, frame included, and how many lines
    // are in view below it: the space around them lies outside the scrolled area, so that no
    // part of a further line shows.
    void setTextArea(QPoint origin, int lines);

    void setDumpText(const QString& text);
    QString dumpText() const;
    int dumpLength() const { return m_lines.length(); }

    // The first character of the top line in view.
    int firstVisibleChar() const;
    void scrollByLines(int lines);

    int selectionStart() const;
    int selectionLength() const;
    QString selectedDumpText() const;
    // Selects `length` characters from `start` (both clamped to the text).
    void select(int start, int length);
    // Gives the characters of each range, {start, length}, the background `format`, under the
    // selection; the ranges are in order and do not overlap. An empty list, or a new text,
    // takes every mark away.
    void setMarks(QList<std::pair<int, int>> ranges, const QTextCharFormat& format);

signals:
    void focusGained();
    void pointerMoved();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // Copies and drags carry the dump text as it is, without the pane's line breaks.
    QMimeData* createMimeDataFromSelection() const override;

private:
    // Only the marks on the lines in view are handed to the text box, which looks at every
    // mark it holds on each paint: thousands of them would cost a frame or more.
    void showMarksInView();

    PaneLines m_lines;
    qreal m_linePitch;
    QList<std::pair<int, int>> m_marks;
    QTextCharFormat m_markFormat;
};

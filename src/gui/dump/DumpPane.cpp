// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpPane.h"

#include "LinePitchLayout.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

DumpPane::DumpPane(int columns, qreal linePitch, QWidget* parent)
    : QPlainTextEdit(parent), m_lines(columns, 0), m_linePitch(linePitch) {
    auto* text = new QTextDocument(this);
    text->setDocumentLayout(new LinePitchLayout(text, linePitch));
    setDocument(text);
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    // The blocks are the lines: wrapping one would shift every line after it.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Without a document margin the first visible line starts right at the top edge.
    document()->setDocumentMargin(0);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    setMouseTracking(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &DumpPane::showMarksInView);
}

void DumpPane::setCellFont(const QFont& font) {
    setFont(font);
    document()->setDefaultFont(font);
}

void DumpPane::setTextArea(QPoint origin, int lines) {
    const int frame = frameWidth();
    const int top = qMax(0, origin.y() - frame);
    const int bottom = qMax(0, height() - 2 * frame - top - int(lines * m_linePitch));
    setViewportMargins(qMax(0, origin.x() - frame), top, 0, bottom);
}

void DumpPane::setDumpText(const QString& text) {
    m_marks.clear();
    setExtraSelections({});
    m_lines = PaneLines(columns(), int(text.size()));
    setPlainText(PaneLines::broken(text, columns()));
}

QString DumpPane::dumpText() const {
    QString text = toPlainText();
    text.remove(QLatin1Char('\n'));
    return text;
}

int DumpPane::firstVisibleChar() const {
    return firstVisibleBlock().blockNumber() * columns();
}

void DumpPane::scrollByLines(int lines) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + lines);
}

int DumpPane::selectionStart() const {
    return m_lines.toDump(textCursor().selectionStart());
}

int DumpPane::selectionLength() const {
    const QTextCursor cursor = textCursor();
    return m_lines.toDump(cursor.selectionEnd()) - m_lines.toDump(cursor.selectionStart());
}

QString DumpPane::selectedDumpText() const {
    QString text = textCursor().selectedText();
    text.remove(QChar::ParagraphSeparator);
    return text;
}

void DumpPane::select(int start, int length) {
    const int from = qBound(0, start, dumpLength());
    const int to = qBound(from, start + length, dumpLength());
    QTextCursor cursor(document());
    cursor.setPosition(m_lines.toDocument(from));
    cursor.setPosition(m_lines.toDocument(to), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    // The caret after a selection that ends a line stands at the next line's start, and the
    // pane scrolls only as far as the caret: from below, the selection's own first line would
    // stay out of view. Without wrapping, the scroll bar counts lines.
    const int firstLine = from / columns();
    if (firstLine < firstVisibleBlock().blockNumber()) {
        verticalScrollBar()->setValue(firstLine);
    }
}

void DumpPane::setMarks(QList<std::pair<int, int>> ranges, const QTextCharFormat& format) {
    m_marks = std::move(ranges);
    m_markFormat = format;
    showMarksInView();
}

void DumpPane::showMarksInView() {
    const int first = firstVisibleChar();
    // The lines in view, one cut off at the bottom, and one more for good measure.
    const int end = first + (int(viewport()->height() / m_linePitch) + 2) * columns();
    auto mark = std::partition_point(m_marks.cbegin(), m_marks.cend(), [first](const auto& range) {
        return range.first + range.second <= first;
    });
    QList<QTextEdit::ExtraSelection> marks;
    for (; mark != m_marks.cend() && mark->first < end; ++mark) {
        const int from = qBound(0, mark->first, dumpLength());
        const int to = qBound(from, mark->first + mark->second, dumpLength());
        QTextEdit::ExtraSelection shown{QTextCursor(document()), m_markFormat};
        shown.cursor.setPosition(m_lines.toDocument(from));
        shown.cursor.setPosition(m_lines.toDocument(to), QTextCursor::KeepAnchor);
        marks.append(shown);
    }
    if (!marks.isEmpty() || !extraSelections().isEmpty()) {
        setExtraSelections(marks);
    }
}

QMimeData* DumpPane::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(selectedDumpText());
    return data;
}

bool DumpPane::event(QEvent* event) {
    // Ctrl+A is the window's Save As; the pane must not claim it for Select All.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void DumpPane::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit focusGained();
}

bool DumpPane::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        emit pointerMoved();
    }
    return QPlainTextEdit::viewportEvent(event);
}

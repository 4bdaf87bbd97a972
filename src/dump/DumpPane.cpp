#include "DumpPane.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>

DumpPane::DumpPane(int columns, Wrap wrap, QWidget* parent)
    : QPlainTextEdit(parent), m_columns(columns) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(wrap == Wrap::AtSpaces ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                           : QTextOption::WrapAnywhere);
    // Without a document margin the first visible line starts right at the top edge, so the
    // character at the top-left corner is the first one of the top line, scrolled or not.
    document()->setDocumentMargin(0);
    setViewportMargins(kInset, kInset, 0, kInset);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    setMouseTracking(true);
}

void DumpPane::fitTo(const QFont& font, int lines) {
    setFont(font);
    document()->setDefaultFont(font);
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char('0'));
    const int frame = frameWidth();
    // Half a cell of slack: the last character fits, the first of the next line does not.
    const qreal textWidth = (m_columns + 0.5) * advance;
    const int width =
        int(std::ceil(textWidth)) + kInset + 2 * frame + verticalScrollBar()->sizeHint().width();
    const int height = int(std::ceil(lines * linePitch(font))) + 2 * kInset + 2 * frame;
    setFixedSize(width, height);
}

qreal DumpPane::linePitch(const QFont& font) {
    // The text layout rounds each line's height to whole pixels; ask it rather than guess.
    QTextLayout probe(QStringLiteral("0"), font);
    probe.beginLayout();
    const QTextLine line = probe.createLine();
    probe.endLayout();
    return line.height();
}

int DumpPane::firstVisibleChar() const {
    // The top-left pixel itself: the layout counts the pixel row on a line boundary to the
    // line above it.
    return cursorForPosition(QPoint(0, 1)).position();
}

void DumpPane::scrollByLines(int lines) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + lines);
}

int DumpPane::selectionStart() const {
    return textCursor().selectionStart();
}

int DumpPane::selectionLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void DumpPane::select(int start, int length) {
    const int size = document()->characterCount() - 1;
    const int from = qBound(0, start, size);
    const int to = qBound(from, start + length, size);
    QTextCursor cursor(document());
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
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

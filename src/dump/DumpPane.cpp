#include "DumpPane.h"

#include <QFontMetricsF>
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
    const qreal margin = document()->documentMargin();
    const int frame = frameWidth();
    // Half a cell of slack: the last character fits, the first of the next line does not.
    const qreal textWidth = (m_columns + 0.5) * advance;
    const int width = int(std::ceil(textWidth + 2 * margin)) + 2 * frame +
                      verticalScrollBar()->sizeHint().width();
    const qreal lineHeight = metrics.height();
    const int height = int(std::ceil(lines * lineHeight + 2 * margin)) + 2 * frame;
    setFixedSize(width, height);
}

int DumpPane::firstVisibleChar() const { return cursorForPosition(QPoint(0, 0)).position(); }

void DumpPane::scrollByLines(int lines) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + lines);
}

int DumpPane::selectionStart() const { return textCursor().selectionStart(); }

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

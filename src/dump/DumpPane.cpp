#include "DumpPane.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>

DumpPane::DumpPane(int columns, QWidget* parent) : QPlainTextEdit(parent), m_lines(columns, 0) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    // The blocks are the lines: wrapping one would shift every line after it.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Without a document margin the first visible line starts right at the top edge.
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
    // Half a cell of slack keeps the last character clear of the scroll bar.
    const qreal textWidth = (columns() + 0.5) * advance;
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

void DumpPane::setDumpText(const QString& text) {
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

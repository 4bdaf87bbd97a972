// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpPane.h"

#include "CaretKeys.h"
#include "CellFont.h"
#include "DumpPaneAccessible.h"
#include "DumpText.h"
#include "PaneLinePainter.h"
#include "SaveAsKey.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>

namespace {

constexpr int kBytesPerLine = DumpText::kBytesPerLine;

int cellWidth() {
    return CellFont::kCell.width();
}

int linePitch() {
    return CellFont::kCell.height();
}

} // namespace

DumpPane::DumpPane(DumpState& state, Pane kind, QWidget* parent)
    : QAbstractScrollArea(parent), m_state(state), m_kind(kind) {
    DumpPaneAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    setMouseTracking(true);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(DumpText::kLinesInView);
    connect(&m_state, &DumpState::changed, this, &DumpPane::stateChanged);
    connect(&m_state, &DumpState::bytesChanged, this, &DumpPane::bytesChanged);
    connect(&m_state.highlights(), &ByteHighlights::changed, this, &DumpPane::repaintBytes);
    showScrollRange();
}

int DumpPane::charsPerByte() const {
    return PaneColumns::charsPerByte(m_kind);
}

int DumpPane::columns() const {
    return PaneColumns::charsPerLine(m_kind);
}

void DumpPane::setCellFont(const QFont& font) {
    setFont(font);
    m_ascent = qRound(QFontMetricsF(font).ascent());
    viewport()->update();
}

void DumpPane::setTextArea(QPoint origin, int lines) {
    const int frame = frameWidth();
    const int top = qMax(0, origin.y() - frame);
    const int bottom = qMax(0, height() - 2 * frame - top - lines * linePitch());
    setViewportMargins(qMax(0, origin.x() - frame), top, 0, bottom);
}

QString DumpPane::dumpText() const {
    const QByteArrayView bytes = m_state.shownBytes();
    return m_kind == Pane::Hex ? DumpText::hexText(bytes) : DumpText::asciiText(bytes);
}

int DumpPane::dumpLength() const {
    return int(m_state.shownBytes().size()) * charsPerByte();
}

int DumpPane::firstVisibleChar() const {
    return (m_state.topLine() - 1) * columns();
}

int DumpPane::selectionStart() const {
    return (m_state.selection().start - m_state.dumpStart()) * charsPerByte();
}

int DumpPane::selectionLength() const {
    return m_state.selection().length * charsPerByte();
}

int DumpPane::caretPosition() const {
    const int byte = m_state.caret() - m_state.dumpStart();
    return byte * charsPerByte() + (m_kind == Pane::Hex ? m_state.nibble() : 0);
}

void DumpPane::select(int start, int length) {
    const ByteRange bytes = PaneColumns::bytesOf(m_kind, qMax(0, start), qMax(0, length));
    m_state.select(m_state.dumpStart() + bytes.start, bytes.length);
}

QRect DumpPane::characterRect(int position) const {
    const int line = position / columns();
    const int column = position % columns();
    return {column * cellWidth(), (line - (m_state.topLine() - 1)) * linePitch(), cellWidth(),
            linePitch()};
}

QRect DumpPane::cursorRect() const {
    const int position = caretPosition();
    // After the last byte of a full last line the caret stands at that line's end, as in a
    // text box.
    const bool atLineEnd = position == dumpLength() && position > 0 && position % columns() == 0;
    QRect cell = characterRect(atLineEnd ? position - 1 : position);
    if (atLineEnd) {
        cell.moveLeft(cell.left() + cellWidth());
    }
    cell.setWidth(1);
    return cell;
}

int DumpPane::positionAt(QPoint point) const {
    const int column = std::clamp(point.x() / cellWidth(), 0, columns() - 1);
    const int row = point.y() < 0 ? -1 - (-point.y() - 1) / linePitch() : point.y() / linePitch();
    const int line = qMax(0, m_state.topLine() - 1 + row);
    return std::clamp(line * columns() + column, 0, dumpLength());
}

std::pair<int, int> DumpPane::byteAt(QPoint point) const {
    const int position = positionAt(point);
    return {m_state.dumpStart() + position / charsPerByte(),
            m_kind == Pane::Hex ? position % charsPerByte() : 0};
}

void DumpPane::repaintBytes(const ByteRange& range) {
    const ByteRange shown = range.clippedTo(m_state.shownRange());
    if (shown.isEmpty()) {
        return;
    }
    const int top = m_state.topLine();
    const int first = (shown.start - m_state.dumpStart()) / kBytesPerLine + 1;
    const int last = (shown.end() - 1 - m_state.dumpStart()) / kBytesPerLine + 1;
    const int from = qMax(first, top);
    const int to = qMin(last, top + DumpText::kLinesInView - 1);
    if (from <= to) {
        viewport()->update(0, (from - top) * linePitch(), viewport()->width(),
                           (to - from + 1) * linePitch());
    }
}

void DumpPane::repaintSelection() {
    const DumpState::Selection selection = m_state.selection();
    // The caret's byte is framed or drawn even when nothing is selected.
    const int start = std::min(selection.start, m_state.caret());
    const ByteRange marked{start, std::max(selection.end(), m_state.caret() + 1) - start};
    repaintBytes(m_selectionShown);
    repaintBytes(marked);
    m_selectionShown = marked;
}

void DumpPane::bytesChanged(const ByteRange& range) {
    repaintBytes(range);
    DumpPaneAccessible::bytesChanged(*this, range);
}

void DumpPane::stateChanged(DumpState::Changes what) {
    if (what & (DumpState::Change::Content | DumpState::Change::TopLine)) {
        showScrollRange();
    }
    if (what & (DumpState::Change::Content | DumpState::Change::Selection |
                DumpState::Change::TopLine | DumpState::Change::Leader)) {
        // The caret shows at once where it went, then blinks.
        m_caretShown = true;
        if (what &
            (DumpState::Change::Content | DumpState::Change::TopLine | DumpState::Change::Leader)) {
            viewport()->update();
        }
        repaintSelection();
    }
    if (what & DumpState::Change::Content) {
        DumpPaneAccessible::textReplaced(*this);
    }
    if (what & (DumpState::Change::Content | DumpState::Change::Selection)) {
        DumpPaneAccessible::caretMoved(*this);
    }
}

void DumpPane::showScrollRange() {
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, m_state.lastTopLine() - 1);
    bar->setValue(m_state.topLine() - 1);
}

void DumpPane::scrollContentsBy(int /*dx*/, int /*dy*/) {
    // The scroll bar moved (a drag, the wheel, a click in its groove): the state scrolls both
    // panes, and the pane paints from it.
    m_state.setTopLine(verticalScrollBar()->value() + 1);
}

void DumpPane::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().brush(QPalette::Base));
    painter.setFont(font());
    const int top = m_state.topLine();
    const int rows = viewport()->height() / linePitch() + 1;
    const PaneLinePainter lines(m_state, m_kind, palette(), m_ascent);
    for (int row = 0; row < rows; ++row) {
        const int rowTop = row * linePitch();
        if (rowTop < event->rect().bottom() + 1 && rowTop + linePitch() > event->rect().top()) {
            lines.paint(painter, top + row, rowTop);
        }
    }
    if (!m_state.document().isLoaded()) {
        return;
    }
    if (hasFocus()) {
        if (m_caretShown) {
            painter.fillRect(cursorRect(), palette().color(QPalette::Text));
        }
    } else if (m_state.selection().isEmpty() && m_state.caret() < m_state.shownRange().end()) {
        // The other pane frames the caret's byte, so that the eye finds it in both.
        const int position = caretPosition() - (m_kind == Pane::Hex ? m_state.nibble() : 0);
        QRect frame = characterRect(position);
        frame.setWidth(cellWidth() * (m_kind == Pane::Hex ? 2 : 1));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
}

void DumpPane::keyPressEvent(QKeyEvent* event) {
    if (const auto move =
            CaretKeys::forKey(event->key(), event->modifiers(), {m_state.caret(), m_state.nibble()},
                              m_kind, m_state.shownRange())) {
        if (move->scroll != 0) {
            m_state.setTopLine(m_state.topLine() + move->scroll);
        }
        m_state.moveCaret(move->to.offset, move->to.nibble, move->extend);
        event->accept();
        return;
    }
    const QString text = event->text();
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!text.isEmpty() && !(event->modifiers() & commands) && text[0].isPrint()) {
        emit typed(text);
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void DumpPane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    const auto [byte, character] = byteAt(point);
    if (event->modifiers() & Qt::ShiftModifier) {
        m_drag.release();
        m_state.moveCaret(byte < m_state.caret() ? byte : byte + 1, 0, true);
        return;
    }
    m_drag.press(point, qMin(byte, m_state.shownRange().end()));
    // A click on the space after a group puts the caret before the next byte.
    if (character == 2) {
        m_state.setCaret(byte + 1, byte + 1);
    } else {
        m_state.setCaret(byte, byte, character);
    }
}

void DumpPane::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    // The byte whose group holds the pointer, the last one past the end.
    const QPoint point = event->position().toPoint();
    const int last = qMax(m_state.shownRange().start, m_state.shownRange().end() - 1);
    const int byte = qMin(byteAt(point).first, last);
    if (const auto selection =
            m_drag.moveTo(point, byte, QGuiApplication::styleHints()->startDragDistance())) {
        m_state.setCaret(selection->anchor, selection->caret);
    }
}

void DumpPane::mouseReleaseEvent(QMouseEvent* event) {
    m_drag.release();
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void DumpPane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int byte = byteAt(event->position().toPoint()).first;
    if (byte < m_state.shownRange().end()) {
        m_state.setCaret(byte, byte + 1);
    }
}

bool DumpPane::event(QEvent* event) {
    return SaveAsKey::leaveToWindow(event) || QAbstractScrollArea::event(event);
}

bool DumpPane::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        emit pointerMoved();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void DumpPane::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    blink(true);
    emit focusGained();
}

void DumpPane::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blink(false);
}

void DumpPane::blink(bool on) {
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (on && flash > 0) {
        m_blink.start(flash / 2, this);
    } else {
        m_blink.stop();
    }
    viewport()->update();
}

void DumpPane::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_blink.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    m_caretShown = !m_caretShown;
    viewport()->update(cursorRect());
}

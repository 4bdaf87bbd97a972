// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpPane.h"

#include "CellFont.h"
#include "DumpPaneAccessible.h"
#include "DumpText.h"
#include "NumberForm.h"
#include "SaveAsKey.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetricsF>
#include <QGlyphRun>
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
    connect(&m_state, &DumpState::bytesChanged, this, &DumpPane::repaintBytes);
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
    m_glyphFont = QRawFont::fromFont(font);
    QString characters;
    for (int value = 0; value < 256; ++value) {
        characters.append(m_kind == Pane::Hex ? QChar(NumberForm::hexDigit(value))
                                              : DumpText::asciiChar(quint8(value)));
    }
    const QList<quint32> glyphs =
        m_glyphFont.isValid() ? m_glyphFont.glyphIndexesForString(characters) : QList<quint32>();
    m_glyphs.fill(0);
    if (glyphs.size() == qsizetype(m_glyphs.size())) {
        std::copy(glyphs.cbegin(), glyphs.cend(), m_glyphs.begin());
    }
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

void DumpPane::scrollByLines(int lines) {
    m_state.setTopLine(m_state.topLine() + lines);
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

void DumpPane::setMarks(QList<ByteRange> runs, const QColor& colour) {
    m_marks = std::move(runs);
    m_markColour = colour;
    viewport()->update();
}

void DumpPane::repaintBytes(const ByteRange& range) {
    const int top = m_state.topLine();
    const int first = (range.start - m_state.dumpStart()) / kBytesPerLine + 1;
    const int last = (qMax(range.start, range.end() - 1) - m_state.dumpStart()) / kBytesPerLine + 1;
    const int from = qMax(first, top);
    const int to = qMin(last, top + DumpText::kLinesInView - 1);
    if (from <= to) {
        viewport()->update(0, (from - top) * linePitch(), viewport()->width(),
                           (to - from + 1) * linePitch());
    }
    if (QAccessible::isActive()) {
        announceBytes(range);
    }
}

void DumpPane::announceBytes(const ByteRange& range) {
    // A text update names the text it replaced, so the pane keeps what it last told.
    const QString now = DumpPaneAccessible::textOf(*this);
    const int first =
        std::clamp((range.start - m_state.dumpStart()) * charsPerByte(), 0, dumpLength());
    const int last =
        std::clamp((range.end() - m_state.dumpStart()) * charsPerByte(), first, dumpLength());
    const int from = DumpPaneAccessible::toText(*this, first);
    const int to = DumpPaneAccessible::toText(*this, last);
    const QString& before = m_spokenText.size() == now.size() ? m_spokenText : now;
    QAccessibleTextUpdateEvent updated(this, from, before.mid(from, to - from),
                                       now.mid(from, to - from));
    QAccessible::updateAccessibility(&updated);
    m_spokenText = now;
}

void DumpPane::stateChanged(DumpState::Changes what) {
    if (what & (DumpState::Change::Content | DumpState::Change::TopLine)) {
        showScrollRange();
    }
    if (what & (DumpState::Change::Content | DumpState::Change::Selection |
                DumpState::Change::TopLine | DumpState::Change::Leader)) {
        // The caret shows at once where it went, then blinks.
        m_caretShown = true;
        viewport()->update();
    }
    if ((what & DumpState::Change::Content) && QAccessible::isActive()) {
        m_spokenText = DumpPaneAccessible::textOf(*this);
    }
    if (what & (DumpState::Change::Content | DumpState::Change::Selection)) {
        announceCaret();
    }
}

void DumpPane::announceCaret() {
    if (!QAccessible::isActive()) {
        return;
    }
    const int caret = DumpPaneAccessible::toText(*this, caretPosition());
    QAccessibleTextCursorEvent moved(this, caret);
    QAccessible::updateAccessibility(&moved);
    const int start = DumpPaneAccessible::toText(*this, selectionStart());
    QAccessibleTextSelectionEvent selected(
        this, start, DumpPaneAccessible::toText(*this, selectionStart() + selectionLength()));
    selected.setCursorPosition(caret);
    QAccessible::updateAccessibility(&selected);
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

QRect DumpPane::bytesRect(int row, int firstColumn, int lastColumn, bool groupSpace) const {
    const int perByte = charsPerByte();
    const int left = firstColumn * perByte * cellWidth();
    int right = (lastColumn + 1) * perByte * cellWidth();
    if (!groupSpace && m_kind == Pane::Hex) {
        right -= cellWidth();
    }
    return {left, row * linePitch(), right - left, linePitch()};
}

void DumpPane::paintLine(QPainter& painter, int line, int rowTop) const {
    const QByteArrayView shown = m_state.shownBytes();
    const int first = (line - 1) * kBytesPerLine;
    const int count = qMin<int>(kBytesPerLine, int(shown.size()) - first);
    if (count <= 0) {
        return;
    }
    const int lineStart = m_state.dumpStart() + first;
    const ByteRange lineBytes{lineStart, count};
    const int row = rowTop / linePitch();

    // Marks of a comparison under the selection; a run's last space stays unmarked, so that
    // two runs one byte apart show as two.
    const auto mark = std::partition_point(m_marks.cbegin(), m_marks.cend(),
                                           [&](const auto& run) { return run.end() <= lineStart; });
    for (auto run = mark; run != m_marks.cend() && run->start < lineBytes.end(); ++run) {
        const ByteRange here = run->clippedTo(lineBytes);
        if (!here.isEmpty()) {
            painter.fillRect(bytesRect(row, here.start - lineStart, here.end() - 1 - lineStart,
                                       here.end() != run->end()),
                             m_markColour);
        }
    }
    const ByteRange selected = m_state.selection().clippedTo(lineBytes);
    QRect selectedRect;
    if (!selected.isEmpty()) {
        selectedRect =
            bytesRect(row, selected.start - lineStart, selected.end() - 1 - lineStart, true);
        painter.fillRect(selectedRect, palette().brush(QPalette::Highlight));
    }

    const QByteArrayView bytes = shown.sliced(first, count);
    const QString text =
        m_kind == Pane::Hex ? DumpText::hexText(bytes) : DumpText::asciiText(bytes);
    const QPoint baseline(0, rowTop + m_ascent);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(baseline, text);
    if (!selectedRect.isNull()) {
        painter.save();
        painter.setClipRect(selectedRect);
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.drawText(baseline, text);
        painter.restore();
    }
}

bool DumpPane::drawGlyphs(QPainter& painter, QByteArrayView bytes, QPoint baseline) const {
    // Laying the text out for each line costs more than the rest of a paint together; the
    // cells are fixed, so each glyph goes straight to its cell.
    QList<quint32> glyphs;
    QList<QPointF> places;
    const int perByte = charsPerByte();
    glyphs.reserve(bytes.size() * 2);
    places.reserve(bytes.size() * 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = quint8(bytes[i]);
        const int column = int(i) * perByte;
        const std::array<int, 2> values = {byte >> 4, byte & 0x0F};
        for (int digit = 0; digit < (m_kind == Pane::Hex ? 2 : 1); ++digit) {
            const quint32 glyph = m_glyphs[m_kind == Pane::Hex ? values[digit] : byte];
            if (glyph == 0) {
                return false;
            }
            glyphs.append(glyph);
            places.append(QPointF((column + digit) * cellWidth(), 0));
        }
    }
    QGlyphRun run;
    run.setRawFont(m_glyphFont);
    run.setGlyphIndexes(glyphs);
    run.setPositions(places);
    painter.drawGlyphRun(baseline, run);
    return true;
}

void DumpPane::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().brush(QPalette::Base));
    painter.setFont(font());
    const int top = m_state.topLine();
    const int rows = viewport()->height() / linePitch() + 1;
    for (int row = 0; row < rows; ++row) {
        const int rowTop = row * linePitch();
        if (rowTop < event->rect().bottom() + 1 && rowTop + linePitch() > event->rect().top()) {
            paintLine(painter, top + row, rowTop);
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
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const ByteRange shown = m_state.shownRange();
    const int caret = m_state.caret();
    const int lineStart = shown.start + (caret - shown.start) / kBytesPerLine * kBytesPerLine;
    const int page = DumpText::kLinesInView * kBytesPerLine;
    int to = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        to = caret - 1;
        break;
    case Qt::Key_Right:
        to = caret + 1;
        break;
    case Qt::Key_Up:
        to = caret - kBytesPerLine;
        break;
    case Qt::Key_Down:
        to = qMin(caret + kBytesPerLine, shown.end());
        break;
    case Qt::Key_PageUp:
        m_state.setTopLine(m_state.topLine() - DumpText::kLinesInView);
        to = caret - page;
        break;
    case Qt::Key_PageDown:
        m_state.setTopLine(m_state.topLine() + DumpText::kLinesInView);
        to = qMin(caret + page, shown.end());
        break;
    case Qt::Key_Home:
        to = control ? shown.start : lineStart;
        break;
    case Qt::Key_End:
        // On the line's last byte; selecting, through it.
        to =
            control ? shown.end() : qMin(lineStart + kBytesPerLine - (extend ? 0 : 1), shown.end());
        break;
    default: {
        const QString text = event->text();
        const Qt::KeyboardModifiers commands =
            Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
        if (!text.isEmpty() && !(event->modifiers() & commands) && text[0].isPrint()) {
            emit typed(text);
            event->accept();
            return;
        }
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    }
    to = std::clamp(to, shown.start, shown.end());
    m_state.moveCaret(to, 0, extend);
    event->accept();
}

void DumpPane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const auto [byte, digit] = byteAt(event->position().toPoint());
    if (event->modifiers() & Qt::ShiftModifier) {
        m_state.moveCaret(byte < m_state.caret() ? byte : byte + 1, 0, true);
        return;
    }
    m_dragFrom = qMin(byte, m_state.shownRange().end());
    // A click on the space after a group puts the caret before the next byte.
    if (digit == 2) {
        m_state.setCaret(byte + 1, byte + 1);
    } else {
        m_state.setCaret(byte, byte, digit);
    }
}

void DumpPane::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || m_dragFrom < 0) {
        QAbstractScrollArea::mouseMoveEvent(event);
        return;
    }
    // From the byte whose group holds the start through the byte whose group holds the end.
    const int last = qMax(m_state.shownRange().start, m_state.shownRange().end() - 1);
    const int byte = qMin(byteAt(event->position().toPoint()).first, last);
    if (byte == m_dragFrom && m_state.selection().isEmpty()) {
        return;
    }
    if (byte >= m_dragFrom) {
        m_state.setCaret(m_dragFrom, byte + 1);
    } else {
        m_state.setCaret(m_dragFrom + 1, byte);
    }
}

void DumpPane::mouseReleaseEvent(QMouseEvent* event) {
    m_dragFrom = -1;
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

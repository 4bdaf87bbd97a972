// SPDX-License-Identifier: GPL-3.0-or-later
#include "PaneLinePainter.h"

#include "CellFont.h"
#include "DumpText.h"

#include <QPainter>

PaneLinePainter::PaneLinePainter(const DumpState& state, DumpState::Pane pane,
                                 const QPalette& palette, int ascent)
    : m_state(state), m_pane(pane), m_palette(palette), m_ascent(ascent) {}

QColor PaneLinePainter::highlightColour(ByteHighlights::Kind kind, const QColor& background) {
    // The program counter yellow, as debuggers mark the next statement; a comparison's
    // differences orange; bytes changed since the last save violet, apart from the orange and
    // from the selection's blue; the author's bookmarks green and other marks teal, faint
    // enough to read the bytes under them.
    QColor hue;
    switch (kind) {
    case ByteHighlights::Kind::ProgramCounter:
        hue = QColor(255, 215, 0);
        break;
    case ByteHighlights::Kind::CompareDifference:
        hue = QColor(255, 140, 0);
        break;
    case ByteHighlights::Kind::ChangedSinceSave:
        hue = QColor(170, 60, 255);
        break;
    case ByteHighlights::Kind::Bookmarked:
        hue = QColor(60, 190, 60);
        break;
    case ByteHighlights::Kind::Marked:
        hue = QColor(0, 160, 170);
        break;
    }
    constexpr float kShare = 0.35F;
    const auto towards = [](float from, float to) { return from + (to - from) * kShare; };
    return QColor::fromRgbF(towards(background.redF(), hue.redF()),
                            towards(background.greenF(), hue.greenF()),
                            towards(background.blueF(), hue.blueF()));
}

QRect PaneLinePainter::bytesRect(int row, int firstColumn, int lastColumn, bool groupSpace) const {
    const int cell = CellFont::kCell.width();
    const int perByte = PaneColumns::charsPerByte(m_pane);
    const int left = firstColumn * perByte * cell;
    int right = (lastColumn + 1) * perByte * cell;
    if (!groupSpace && m_pane == DumpState::Pane::Hex) {
        right -= cell;
    }
    return {left, row * CellFont::kCell.height(), right - left, CellFont::kCell.height()};
}

void PaneLinePainter::paint(QPainter& painter, int line, int rowTop) const {
    const QByteArrayView shown = m_state.shownBytes();
    const int first = (line - 1) * DumpText::kBytesPerLine;
    const int count = qMin<int>(DumpText::kBytesPerLine, int(shown.size()) - first);
    if (count <= 0) {
        return;
    }
    const int lineStart = m_state.dumpStart() + first;
    const ByteRange lineBytes{lineStart, count};
    const int row = rowTop / CellFont::kCell.height();

    // The highlights under the selection, asked one byte past the line to see which go on. A
    // mark's last space stays unmarked, so that two marks side by side show as two.
    const QColor background = m_palette.color(QPalette::Base);
    for (const ByteHighlights::Mark& mark :
         m_state.highlights().marksWithin({lineStart, count + 1})) {
        const ByteRange here = mark.range.clippedTo(lineBytes);
        if (!here.isEmpty()) {
            painter.fillRect(bytesRect(row, here.start - lineStart, here.end() - 1 - lineStart,
                                       here.end() != mark.range.end()),
                             highlightColour(mark.kind, background));
        }
    }
    const ByteRange selected = m_state.selection().clippedTo(lineBytes);
    QRect selectedRect;
    if (!selected.isEmpty()) {
        selectedRect =
            bytesRect(row, selected.start - lineStart, selected.end() - 1 - lineStart, true);
        painter.fillRect(selectedRect, m_palette.brush(QPalette::Highlight));
    }

    const QByteArrayView bytes = shown.sliced(first, count);
    const QString text =
        m_pane == DumpState::Pane::Hex ? DumpText::hexText(bytes) : DumpText::asciiText(bytes);
    const QPoint baseline(0, rowTop + m_ascent);
    painter.setPen(m_palette.color(QPalette::Text));
    painter.drawText(baseline, text);
    if (!selectedRect.isNull()) {
        painter.save();
        painter.setClipRect(selectedRect);
        painter.setPen(m_palette.color(QPalette::HighlightedText));
        painter.drawText(baseline, text);
        painter.restore();
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DumpState.h"

#include <QColor>
#include <QPalette>

class QPainter;
class QRect;

// How one line of a dump pane looks, 8 x 15 pixel cells: the highlights, the selection over
// them, then the text, in the selection's colours where it is selected.
class PaneLinePainter {
public:
    PaneLinePainter(const DumpState& state, DumpState::Pane pane, const QPalette& palette,
                    int ascent);

    // Paints dump line `line` (1-based) in the row whose top is `rowTop`.
    void paint(QPainter& painter, int line, int rowTop) const;

    // A highlight's colour on `background`: the kind's hue, a third of the way from the
    // background, so that the text keeps its colour and stays readable on a light or a dark
    // palette.
    static QColor highlightColour(ByteHighlights::Kind kind, const QColor& background);

private:
    // The cells of bytes `firstColumn` to `lastColumn` of a row, in the hex pane with or
    // without the space after the last group.
    QRect bytesRect(int row, int firstColumn, int lastColumn, bool groupSpace) const;

    const DumpState& m_state;
    DumpState::Pane m_pane;
    const QPalette& m_palette;
    int m_ascent;
};

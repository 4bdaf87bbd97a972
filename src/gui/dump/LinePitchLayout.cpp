// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinePitchLayout.h"

#include <QTextBlock>
#include <QTextLayout>

LinePitchLayout::LinePitchLayout(QTextDocument* document, qreal pitch)
    : QPlainTextDocumentLayout(document), m_pitch(pitch) {}

QRectF LinePitchLayout::blockBoundingRect(const QTextBlock& block) const {
    QRectF rect = QPlainTextDocumentLayout::blockBoundingRect(block);
    if (block.isVisible() && block.layout()) {
        rect.setHeight(block.layout()->lineCount() * m_pitch);
    }
    return rect;
}

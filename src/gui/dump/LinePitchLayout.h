// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextDocumentLayout>

// A plain-text layout whose lines stand a fixed number of pixels apart, whatever the font's
// own line height: each line keeps its natural height and the rest of its pitch stays blank
// below it. Painting, scrolling, carets and clicks all go by these block heights.
class LinePitchLayout : public QPlainTextDocumentLayout {
    Q_OBJECT

public:
    LinePitchLayout(QTextDocument* document, qreal pitch);

    qreal pitch() const { return m_pitch; }
    QRectF blockBoundingRect(const QTextBlock& block) const override;

private:
    qreal m_pitch;
};

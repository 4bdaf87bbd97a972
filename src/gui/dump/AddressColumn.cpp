// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddressColumn.h"

#include <QPainter>

AddressColumn::AddressColumn(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("lblAds"));
    setText(QStringLiteral("0000"));
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::blue);
    setPalette(colours);
}

void AddressColumn::setLinePitch(qreal pitch) {
    m_linePitch = pitch;
    update();
}

void AddressColumn::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    const qreal ascent = QFontMetricsF(font()).ascent();
    const QStringList lines = text().split(QLatin1Char('\r'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        painter.drawText(QPointF(0, ascent + qreal(i) * m_linePitch), lines[i]);
    }
}

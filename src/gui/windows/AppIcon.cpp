// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr qreal kGrid = 256.0;

// "0" and "F" in a 3 x 5 block font; one bit per block, most significant bit on the left.
constexpr int kGlyphZero[5] = {0b111, 0b101, 0b101, 0b101, 0b111};
constexpr int kGlyphEff[5] = {0b111, 0b100, 0b110, 0b100, 0b100};

void drawGlyph(QPainter& painter, const int (&rows)[5], QPointF origin, qreal block) {
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 3; ++column) {
            if (rows[row] & (0b100 >> column)) {
                painter.drawRect(
                    QRectF(origin.x() + column * block, origin.y() + row * block, block, block));
            }
        }
    }
}

void drawBody(QPainter& painter) {
    const QRectF body(8, 40, 240, 184);

    // A soft shadow under the card, stronger towards its middle.
    painter.setPen(Qt::NoPen);
    for (int step = 0; step < 4; ++step) {
        painter.setBrush(QColor(0, 0, 0, 22));
        painter.drawRoundedRect(body.adjusted(4 + step * 2, 8 + step * 2, -4 - step * 2, 6), 36,
                                36);
    }

    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0.0, QColor(0x5b, 0x8d, 0xd6));
    shell.setColorAt(0.5, QColor(0x2c, 0x5c, 0xaa));
    shell.setColorAt(1.0, QColor(0x17, 0x35, 0x6e));
    painter.setBrush(shell);
    painter.setPen(QPen(QColor(0x0e, 0x22, 0x48), 6));
    painter.drawRoundedRect(body.adjusted(3, 3, -3, -3), 32, 32);

    // Light catching the upper edge.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 5));
    painter.drawRoundedRect(body.adjusted(10, 10, -10, -10), 26, 26);
}

void drawDisplay(QPainter& painter) {
    const QRectF bezel(24, 64, 152, 136);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x12, 0x1a, 0x26));
    painter.drawRoundedRect(bezel, 14, 14);

    const QRectF glass = bezel.adjusted(10, 10, -10, -10);
    QLinearGradient lcd(glass.topLeft(), glass.bottomRight());
    lcd.setColorAt(0.0, QColor(0xe4, 0xf2, 0xc8));
    lcd.setColorAt(1.0, QColor(0xa6, 0xc8, 0x84));
    painter.setBrush(lcd);
    painter.drawRoundedRect(glass, 6, 6);

    // "0F", two glyphs of 3 x 5 blocks with one block between them, near the glass's centre.
    // Block edges sit on multiples of 16 units, whole pixels at 16 and 32 pixels, so the small
    // sizes stay sharp.
    const qreal block = 16;
    const QPointF origin(48, 96);
    painter.setBrush(QColor(0x1c, 0x30, 0x16));
    drawGlyph(painter, kGlyphZero, origin, block);
    drawGlyph(painter, kGlyphEff, origin + QPointF(4 * block, 0), block);
}

void drawButtons(QPainter& painter) {
    for (const qreal centreY : {92.0, 132.0, 172.0}) {
        const QPointF centre(212, centreY);
        QRadialGradient cap(centre - QPointF(5, 5), 20);
        cap.setColorAt(0.0, QColor(0xff, 0xe2, 0x9a));
        cap.setColorAt(1.0, QColor(0xe0, 0x8a, 0x1c));
        painter.setBrush(cap);
        painter.setPen(QPen(QColor(0x5a, 0x2f, 0x06), 4));
        painter.drawEllipse(centre, 15, 15);
    }
}

} // namespace

QImage appIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kGrid, size / kGrid);
    drawBody(painter);
    drawDisplay(painter);
    drawButtons(painter);
    return image;
}

QIcon appIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(appIconImage(size)));
    }
    return icon;
}

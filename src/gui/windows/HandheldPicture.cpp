// SPDX-License-Identifier: GPL-3.0-or-later
#include "HandheldPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

constexpr QSize kPictureSize(380, 237);
const QRectF kBody(14, 14, 352, 206);
const QRectF kFace(28, 28, 324, 178);
const QRectF kBezel(136, 40, 184, 112);
const QRectF kDisplay(146, 50, 164, 92);

void drawBackdrop(QPainter& painter) {
    QLinearGradient desk(0, 0, 0, kPictureSize.height());
    desk.setColorAt(0.0, QColor(0xee, 0xf2, 0xf7));
    desk.setColorAt(1.0, QColor(0xc4, 0xce, 0xdb));
    painter.fillRect(QRect(QPoint(0, 0), kPictureSize), desk);

    // A faint glow behind the device so it lifts off the backdrop.
    QRadialGradient glow(kBody.center(), kBody.width() * 0.6);
    glow.setColorAt(0.0, QColor(255, 255, 255, 120));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(QRect(QPoint(0, 0), kPictureSize), glow);
}

void drawShadow(QPainter& painter) {
    // Stacked, slightly growing translucent shapes give a soft shadow below the body.
    painter.setPen(Qt::NoPen);
    for (int step = 0; step < 8; ++step) {
        painter.setBrush(QColor(20, 30, 50, 10));
        const qreal grow = step * 1.2;
        painter.drawRoundedRect(kBody.translated(0, 5).adjusted(-grow, -grow, grow, grow),
                                30 + grow, 30 + grow);
    }
}

void drawShell(QPainter& painter) {
    QLinearGradient metal(kBody.topLeft(), kBody.bottomLeft());
    metal.setColorAt(0.0, QColor(0xf7, 0xf9, 0xfc));
    metal.setColorAt(0.45, QColor(0xd5, 0xdb, 0xe4));
    metal.setColorAt(1.0, QColor(0x9c, 0xa6, 0xb4));
    painter.setBrush(metal);
    painter.setPen(QPen(QColor(0x6e, 0x78, 0x87), 1.2));
    painter.drawRoundedRect(kBody, 30, 30);

    // A thin highlight along the top edge of the metal.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    painter.drawRoundedRect(kBody.adjusted(2, 2, -2, -2), 28, 28);

    QLinearGradient graphite(kFace.topLeft(), kFace.bottomLeft());
    graphite.setColorAt(0.0, QColor(0x55, 0x60, 0x70));
    graphite.setColorAt(1.0, QColor(0x2a, 0x31, 0x3b));
    painter.setBrush(graphite);
    painter.setPen(QPen(QColor(0x1d, 0x22, 0x29), 1));
    painter.drawRoundedRect(kFace, 20, 20);

    // Sheen across the upper half of the face.
    QPainterPath sheen;
    sheen.addRoundedRect(kFace.adjusted(1, 1, -1, -kFace.height() * 0.55), 19, 19);
    QLinearGradient gloss(kFace.topLeft(), QPointF(kFace.left(), kFace.center().y()));
    gloss.setColorAt(0.0, QColor(255, 255, 255, 40));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gloss);
    painter.drawPath(sheen);
}

void drawDisplay(QPainter& painter) {
    painter.setPen(QPen(QColor(0x0c, 0x0f, 0x14), 1));
    painter.setBrush(QColor(0x16, 0x1b, 0x22));
    painter.drawRoundedRect(kBezel, 9, 9);

    QLinearGradient lcd(kDisplay.topLeft(), kDisplay.bottomRight());
    lcd.setColorAt(0.0, QColor(0xf2, 0xf6, 0xea));
    lcd.setColorAt(1.0, QColor(0xd9, 0xe3, 0xcc));
    painter.setPen(Qt::NoPen);
    painter.setBrush(lcd);
    painter.drawRoundedRect(kDisplay, 4, 4);

    // The glass sits a little below the bezel: a shade along its top and left edges.
    QLinearGradient inset(kDisplay.topLeft(), kDisplay.topLeft() + QPointF(0, 6));
    inset.setColorAt(0.0, QColor(0, 0, 0, 45));
    inset.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setBrush(inset);
    painter.drawRoundedRect(QRectF(kDisplay.topLeft(), QSizeF(kDisplay.width(), 6)), 4, 4);
}

void drawKey(QPainter& painter, const QRectF& key, const QColor& top, const QColor& bottom) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawRoundedRect(key.translated(0, 1.5), key.height() / 2, key.height() / 2);

    QLinearGradient cap(key.topLeft(), key.bottomLeft());
    cap.setColorAt(0.0, top);
    cap.setColorAt(1.0, bottom);
    painter.setBrush(cap);
    painter.setPen(QPen(bottom.darker(160), 0.8));
    painter.drawRoundedRect(key, key.height() / 2, key.height() / 2);
}

void drawNavigationPad(QPainter& painter) {
    const QPointF centre(82, 118);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawEllipse(centre + QPointF(0, 2), 36, 36);

    QRadialGradient ring(centre - QPointF(10, 12), 52);
    ring.setColorAt(0.0, QColor(0xe6, 0xea, 0xf0));
    ring.setColorAt(1.0, QColor(0x88, 0x93, 0xa2));
    painter.setBrush(ring);
    painter.setPen(QPen(QColor(0x3a, 0x42, 0x4d), 1));
    painter.drawEllipse(centre, 35, 35);

    // Four arrows pressed into the ring.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x4a, 0x53, 0x60));
    for (int quarter = 0; quarter < 4; ++quarter) {
        painter.save();
        painter.translate(centre);
        painter.rotate(90.0 * quarter);
        const QPointF arrow[3] = {QPointF(0, -29), QPointF(-6, -21), QPointF(6, -21)};
        painter.drawPolygon(arrow, 3);
        painter.restore();
    }

    QRadialGradient hub(centre - QPointF(4, 5), 20);
    hub.setColorAt(0.0, QColor(0x6d, 0xa3, 0xe8));
    hub.setColorAt(1.0, QColor(0x1f, 0x4f, 0x9a));
    painter.setBrush(hub);
    painter.setPen(QPen(QColor(0x12, 0x2c, 0x58), 1));
    painter.drawEllipse(centre, 13, 13);
}

void drawDetails(QPainter& painter) {
    // Speaker slots above the pad and a small green power light.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x15, 0x19, 0x1f));
    for (int slot = 0; slot < 4; ++slot) {
        painter.drawRoundedRect(QRectF(56 + slot * 14, 52, 8, 3), 1.5, 1.5);
    }
    QRadialGradient led(QPointF(111, 170), 5);
    led.setColorAt(0.0, QColor(0xc8, 0xff, 0xb4));
    led.setColorAt(0.5, QColor(0x3c, 0xc8, 0x46));
    led.setColorAt(1.0, QColor(0x3c, 0xc8, 0x46, 0));
    painter.setBrush(led);
    painter.drawEllipse(QPointF(111, 170), 5, 5);

    // Four application keys under the display and three side keys to its right.
    for (int key = 0; key < 4; ++key) {
        drawKey(painter, QRectF(142 + key * 44, 168, 36, 14), QColor(0xf0, 0xf3, 0xf7),
                QColor(0x9a, 0xa4, 0xb2));
    }
    for (int key = 0; key < 3; ++key) {
        drawKey(painter, QRectF(330, 58 + key * 30, 12, 20), QColor(0xff, 0xc9, 0x72),
                QColor(0xd0, 0x7a, 0x18));
    }

    // The stylus resting in its groove along the top edge.
    const QRectF groove(70, 17, 240, 6);
    painter.setPen(QPen(QColor(0x6e, 0x78, 0x87), 0.8));
    painter.setBrush(QColor(0x8c, 0x96, 0xa4));
    painter.drawRoundedRect(groove, 3, 3);
    QLinearGradient pen(groove.topLeft(), groove.bottomLeft());
    pen.setColorAt(0.0, QColor(0xfb, 0xfc, 0xfe));
    pen.setColorAt(1.0, QColor(0xa8, 0xb1, 0xbe));
    painter.setPen(Qt::NoPen);
    painter.setBrush(pen);
    painter.drawRoundedRect(groove.adjusted(4, 1, -30, -1), 2, 2);
}

} // namespace

QImage handheldPicture() {
    QImage picture(kPictureSize, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawBackdrop(painter);
    drawShadow(painter);
    drawShell(painter);
    drawDisplay(painter);
    drawNavigationPad(painter);
    drawDetails(painter);
    return picture;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutBox.h"

#include "Version.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {

const QString kTitle = QStringLiteral("Mobrin");
const QString kPictureFile = QStringLiteral(":/art/handheld.svg");
constexpr int kLabelLeft = 153;

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setFixedSize(kClientSize);
    centreOnScreen();
    setWindowTitle(QStringLiteral("About ") + kTitle);

    const QString version = QStringLiteral("Version %1.%2.%3")
                                .arg(Version::kMajor)
                                .arg(Version::kMinor)
                                .arg(Version::kRevision);
    addLabel("lblTitle", kTitle + QStringLiteral("\r\nBy : Keldor"), 64, true);
    addLabel("lblVersion", version, 94, false);
    addLabel("lblDescription", QStringLiteral("It's all about REX!!!"), 107, true);
}

QPoint AboutBox::centredTopLeftTwips(QSize screenTwips, QSize windowTwips) {
    // Integer division truncates toward zero, also when the window is the larger.
    return {(screenTwips.width() - windowTwips.width()) / 2,
            (screenTwips.height() - windowTwips.height()) / 2};
}

QPoint AboutBox::centredTopLeft(const QRect& screenPixels, QSize windowPixels) {
    const QPoint twips =
        centredTopLeftTwips(screenPixels.size() * kTwipsPerPixel, windowPixels * kTwipsPerPixel);
    return screenPixels.topLeft() + twips / kTwipsPerPixel;
}

QImage AboutBox::picture(qreal devicePixelRatio) {
    QImage image(kClientSize * devicePixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    // Through Qt's SVG picture plugin, which is loaded only now: the program links no SVG
    // library at start-up.
    QImageReader art(kPictureFile);
    art.setScaledSize(image.size());
    QPainter painter(&image);
    painter.drawImage(QRectF(QPointF(0, 0), kClientSize), art.read());
    return image;
}

void AboutBox::paintEvent(QPaintEvent*) {
    // Rendered at the first paint, and again on a screen of another pixel ratio, so that the
    // picture stays sharp when the window is scaled.
    if (m_picture.isNull() || m_picture.devicePixelRatio() != devicePixelRatioF()) {
        m_picture = picture(devicePixelRatioF());
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

void AboutBox::mousePressEvent(QMouseEvent* event) {
    // Taken here so that the release, which closes the box, comes here too; presses on the
    // labels arrive as well, because labels pass mouse events on to their window.
    event->accept();
}

void AboutBox::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        accept();
    }
}

QLabel* AboutBox::addLabel(const char* objectName, const QString& text, int top, bool black) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(objectName));
    label->setTextFormat(Qt::PlainText);
    if (black) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    label->move(kLabelLeft, top);
    label->adjustSize();
    return label;
}

void AboutBox::centreOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target) {
        return;
    }
    // The whole screen, task bars and panels included.
    move(centredTopLeft(target->geometry(), kClientSize));
}

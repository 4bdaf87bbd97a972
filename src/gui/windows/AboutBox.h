// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QSize>

class QLabel;

// The borderless About window: a picture of a handheld (data/art/handheld.svg) with the title,
// author, version and a one-line description on its display. A click anywhere on it closes it,
// and so does Esc.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;
    static constexpr QSize kClientSize{380, 237};

    explicit AboutBox(QWidget* parent = nullptr);

    // Top-left corner that centres a window on the screen, both sizes in twips. Each
    // difference is halved with integer division, so an odd one loses its half twip.
    static QPoint centredTopLeftTwips(QSize screenTwips, QSize windowTwips);
    // The same centring on a screen area given in pixels, going through twips.
    static QPoint centredTopLeft(const QRect& screenPixels, QSize windowPixels);

    // The box's background: the handheld picture rendered at the box's size, for a screen of
    // the given pixel ratio. Its light, empty display (x 146 to 310, y 50 to 142) takes the
    // labels.
    static QImage picture(qreal devicePixelRatio = 1.0);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* addLabel(const char* objectName, const QString& text, int top, bool black);
    void centreOnScreen();

    QImage m_picture;
};

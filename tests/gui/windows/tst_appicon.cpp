// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppIcon.h"
#include "LateWindowIcon.h"

#include <QWidget>
#include <QtTest>

class AppIconTest : public QObject {
    Q_OBJECT

private slots:
    void image_data();
    void image();
    void setAfterTheFirstPaint();
};

void AppIconTest::image_data() {
    QTest::addColumn<int>("size");
    // Every size a desktop asks for, and one no PNG is made at: the icon renders the SVG itself.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        QTest::addRow("%d", size) << size;
    }
}

void AppIconTest::image() {
    QFETCH(int, size);
    const QImage image = appIcon().pixmap(size).toImage();
    QCOMPARE(image.size(), QSize(size, size));

    // The corners stay see-through around the rounded body; the middle is drawn.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size - 1, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);

    // Even at the smallest size the light display and the dark digits on it both show.
    int light = 0;
    int dark = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                const int lightness = QColor(pixel).lightness();
                light += lightness > 170 ? 1 : 0;
                dark += lightness < 60 ? 1 : 0;
            }
        }
    }
    QVERIFY2(light >= size * size / 20, qPrintable(QString::number(light)));
    QVERIFY2(dark >= size * size / 40, qPrintable(QString::number(dark)));
}

void AppIconTest::setAfterTheFirstPaint() {
    QWidget window;
    window.show();
    LateWindowIcon::setAfterFirstPaint(window);
    QVERIFY(window.windowIcon().isNull());
    QTRY_VERIFY(!window.windowIcon().isNull());
    QCOMPARE(window.windowIcon().pixmap(32).toImage(), appIcon().pixmap(32).toImage());
}

QTEST_MAIN(AppIconTest)
#include "tst_appicon.moc"

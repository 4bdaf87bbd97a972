// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutBox.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

QLabel* label(const AboutBox& box, const char* name) {
    return box.findChild<QLabel*>(QLatin1String(name));
}

// Runs the box's modal loop, does `action` inside it and tells whether the loop ended by itself.
bool closesWhile(AboutBox& box, const std::function<void()>& action) {
    bool forced = false;
    QTimer::singleShot(0, &box, [&] {
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        action();
    });
    QTimer::singleShot(3000, &box, [&] {
        if (box.isVisible()) {
            forced = true;
            box.done(-1);
        }
    });
    box.exec();
    return !forced && !box.isVisible();
}

int lightness(QRgb pixel) {
    return QColor(pixel).lightness();
}

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
    void window();
    void centringTwips_data();
    void centringTwips();
    void centringPixels_data();
    void centringPixels();
    void centredOnItsScreen();
    void closesOnClick_data();
    void closesOnClick();
    void closesOnEscape();
    void picture();
    void labelsSitOnTheDisplay();
};

void AboutBoxTest::texts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("top");
    QTest::addColumn<bool>("black");

    QTest::newRow("title") << "lblTitle"
                           << "Mobrin\r\nBy : Keldor" << 64 << true;
    QTest::newRow("version") << "lblVersion"
                             << "Version 1.0.1" << 94 << false;
    QTest::newRow("description") << "lblDescription"
                                 << "It's all about REX!!!" << 107 << true;
}

void AboutBoxTest::texts() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, top);
    QFETCH(bool, black);

    AboutBox box;
    const QLabel* shown = label(box, qPrintable(name));
    QVERIFY(shown);
    QCOMPARE(shown->text(), text);
    QCOMPARE(shown->pos(), QPoint(153, top));
    QCOMPARE(shown->size(), shown->sizeHint());
    QVERIFY(!shown->autoFillBackground());
    QCOMPARE(shown->font(), box.font());
    const QColor expected = black ? QColor(Qt::black) : box.palette().color(QPalette::WindowText);
    QCOMPARE(shown->palette().color(QPalette::WindowText), expected);

    // The label is as tall as its lines: two for the title, one for the others.
    const int lines = int(text.count(QLatin1Char('\n'))) + 1;
    const int lineHeight = shown->fontMetrics().height();
    QVERIFY2(shown->height() >= lines * lineHeight && shown->height() < (lines + 1) * lineHeight,
             qPrintable(QString::number(shown->height())));
}

void AboutBoxTest::window() {
    AboutBox box;
    QCOMPARE(box.objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(box.windowTitle(), QStringLiteral("About Mobrin"));
    QVERIFY(box.parent() == nullptr);
    QCOMPARE(box.windowType(), Qt::Dialog);
    QVERIFY(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(box.isModal());
    QCOMPARE(box.size(), QSize(380, 237));
    QCOMPARE(box.minimumSize(), box.maximumSize());
}

void AboutBoxTest::centringTwips_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("topLeft");

    const QSize about(5700, 3555);
    QTest::newRow("1024 x 768, odd height difference")
        << QSize(15360, 11520) << about << QPoint(4830, 3982);
    QTest::newRow("odd width difference") << QSize(15361, 11521) << about << QPoint(4830, 3983);
    QTest::newRow("even differences") << QSize(6000, 4000) << about << QPoint(150, 222);
    QTest::newRow("same size") << about << about << QPoint(0, 0);
    // Larger than the screen: the halving truncates toward zero, not downwards.
    QTest::newRow("window larger, odd") << QSize(5000, 3000) << about << QPoint(-350, -277);
}

void AboutBoxTest::centringTwips() {
    QFETCH(QSize, screen);
    QFETCH(QSize, window);
    QFETCH(QPoint, topLeft);
    QCOMPARE(AboutBox::centredTopLeftTwips(screen, window), topLeft);
}

void AboutBoxTest::centringPixels_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("topLeft");

    QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 768) << QPoint(322, 265);
    QTest::newRow("panel at the top") << QRect(0, 24, 1024, 744) << QPoint(322, 24 + 253);
    QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QPoint(1920 + 450, 393);
    QTest::newRow("odd widths") << QRect(0, 0, 1023, 767) << QPoint(321, 265);
}

void AboutBoxTest::centringPixels() {
    QFETCH(QRect, screen);
    QFETCH(QPoint, topLeft);
    QCOMPARE(AboutBox::centredTopLeft(screen, QSize(380, 237)), topLeft);
}

// Centred on the whole screen, task bars and panels included.
void AboutBoxTest::centredOnItsScreen() {
    AboutBox box;
    const QRect screen = box.screen()->geometry();
    QCOMPARE(box.pos(), AboutBox::centredTopLeft(screen, QSize(380, 237)));
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.geometry().center().x() - screen.center().x(), 0);
    QVERIFY(qAbs(box.geometry().center().y() - screen.center().y()) <= 1);
}

void AboutBoxTest::closesOnClick_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("where");

    QTest::newRow("lblTitle") << "lblTitle" << QPoint(3, 3);
    QTest::newRow("lblVersion") << "lblVersion" << QPoint(3, 3);
    QTest::newRow("lblDescription") << "lblDescription" << QPoint(3, 3);
    QTest::newRow("background, corner") << QString() << QPoint(2, 2);
    QTest::newRow("background, empty display") << QString() << QPoint(290, 135);
}

void AboutBoxTest::closesOnClick() {
    QFETCH(QString, name);
    QFETCH(QPoint, where);

    AboutBox box;
    QWidget* target = name.isEmpty() ? static_cast<QWidget*>(&box) : label(box, qPrintable(name));
    QVERIFY(target);
    if (name.isEmpty()) {
        QVERIFY(box.childAt(where) == nullptr);
    }
    QVERIFY(closesWhile(box, [&] { QTest::mouseClick(target, Qt::LeftButton, {}, where); }));

    // Through the window system too, which picks the widget under the pointer itself.
    AboutBox again;
    const QPoint inBox = target == &box ? where : label(again, qPrintable(name))->pos() + where;
    QVERIFY(closesWhile(
        again, [&] { QTest::mouseClick(again.windowHandle(), Qt::LeftButton, {}, inBox); }));
}

void AboutBoxTest::closesOnEscape() {
    AboutBox box;
    QVERIFY(closesWhile(box, [&] { QTest::keyClick(&box, Qt::Key_Escape); }));
}

void AboutBoxTest::picture() {
    const QImage picture = AboutBox::picture();
    QCOMPARE(picture.size(), QSize(380, 237));
    // Scaled windows get the SVG rendered at their pixel ratio, not a blown-up copy.
    QCOMPARE(AboutBox::picture(2).size(), QSize(760, 474));

    // The display, where the labels go, is light and empty: every pixel light, and nearly one
    // colour.
    int darkest = 255;
    int lightest = 0;
    for (int y = 58; y <= 134; ++y) {
        for (int x = 150; x <= 306; ++x) {
            const int value = lightness(picture.pixel(x, y));
            darkest = qMin(darkest, value);
            lightest = qMax(lightest, value);
        }
    }
    QVERIFY2(darkest >= 200, qPrintable(QString::number(darkest)));
    QVERIFY2(lightest - darkest <= 30, qPrintable(QString::number(lightest - darkest)));

    // Around it there is a device, not more of the same: the frame of the display is dark.
    QVERIFY(lightness(picture.pixel(140, 100)) < 80);
    QVERIFY(lightness(picture.pixel(228, 45)) < 80);

    // The box shows it: the pad's blue hub, away from the labels.
    QCOMPARE(AboutBox().grab().toImage().pixel(82, 118), picture.pixel(82, 118));
}

void AboutBoxTest::labelsSitOnTheDisplay() {
    // With the default font every label must fit on the light display, not spill onto the frame.
    AboutBox box;
    const QImage picture = AboutBox::picture();
    for (const char* name : {"lblTitle", "lblVersion", "lblDescription"}) {
        const QRect area = label(box, name)->geometry();
        for (const QPoint corner :
             {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()}) {
            QVERIFY2(lightness(picture.pixel(corner)) >= 200, name);
        }
    }
}

QTEST_MAIN(AboutBoxTest)
#include "tst_aboutbox.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowHarness.h"

#include <QFontInfo>
#include <QLabel>
#include <QMenuBar>

// The window's designed places, whatever fonts the machine has: CTest runs this program with
// the machine's fonts, with only DejaVu and with only Liberation (FONTCONFIG_FILE).
class GeometryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void controlsStandWhereDesigned_data();
    void controlsStandWhereDesigned();
    void clientAreaIsFixed();
    void dumpCellsAreEightByFifteen();

private:
    // `widget`'s place in the client area: below the menu bar, status bar included.
    QRect inClientArea(const QWidget* widget) const;

    std::unique_ptr<WindowHarness> m_h;
};

void GeometryTest::initTestCase() {
    m_h = std::make_unique<WindowHarness>();
    qInfo("dump font: %s", qPrintable(QFontInfo(m_h->hexPane()->font()).family()));
}

QRect GeometryTest::inClientArea(const QWidget* widget) const {
    const QPoint origin = m_h->window->centralWidget()->mapTo(m_h->window.get(), QPoint(0, 0));
    return {widget->mapTo(m_h->window.get(), QPoint(0, 0)) - origin, widget->size()};
}

void GeometryTest::controlsStandWhereDesigned_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    // Left, top, width, height in the client area.
    QTest::newRow("dump frame") << "Frame3" << QRect(2, -2, 629, 267);
    QTest::newRow("hex frame") << "Frame2" << QRect(8, 6, 420, 257);
    QTest::newRow("hex pane") << "scrHEX" << QRect(14, 20, 408, 234);
    QTest::newRow("hex column header") << "Label1" << QRect(15, 7, 376, 15);
    QTest::newRow("address column") << "lblAds" << QRect(426, 26, 33, 227);
    QTest::newRow("ASCII frame") << "Frame1" << QRect(459, 6, 165, 257);
    QTest::newRow("ASCII pane") << "scrASC" << QRect(466, 22, 153, 234);
    QTest::newRow("ASCII column header") << "Label2" << QRect(466, 9, 128, 15);
    QTest::newRow("header frame") << "Frame4" << QRect(2, 257, 629, 86);
    QTest::newRow("icon frame") << "Frame6" << QRect(242, 257, 89, 86);
    QTest::newRow("icon") << "Picture1" << QRect(269, 271, 44, 36);
    QTest::newRow("Strip header") << "chkCode" << QRect(247, 318, 77, 13);
    QTest::newRow("numbers frame") << "Frame5" << QRect(329, 257, 140, 86);
    QTest::newRow("ORG") << "Aorg" << QRect(415, 266, 52, 19);
    QTest::newRow("header size") << "Ahead" << QRect(415, 284, 52, 19);
    QTest::newRow("code size") << "Acode" << QRect(415, 302, 52, 19);
    QTest::newRow("class") << "Atype" << QRect(62, 266, 178, 19);
    QTest::newRow("name") << "Aname" << QRect(62, 284, 178, 19);
    QTest::newRow("description") << "Adesc" << QRect(62, 302, 178, 19);
    QTest::newRow("word 1") << "Aw1" << QRect(62, 321, 63, 19);
    QTest::newRow("word 2") << "Aw2" << QRect(177, 321, 63, 19);
    QTest::newRow("status bar") << "stBar" << QRect(0, 345, 636, 18);
}

void GeometryTest::controlsStandWhereDesigned() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    const auto* widget = m_h->window->findChild<QWidget*>(name);
    QVERIFY(widget);
    const QRect actual = inClientArea(widget);
    const auto near = [](int a, int b) { return qAbs(a - b) <= 2; };
    QVERIFY2(near(actual.left(), place.left()) && near(actual.top(), place.top()) &&
                 near(actual.width(), place.width()) && near(actual.height(), place.height()),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(actual.left())
                            .arg(actual.top())
                            .arg(actual.width())
                            .arg(actual.height())));
}

void GeometryTest::clientAreaIsFixed() {
    MainWindow* window = m_h->window.get();
    const QSize client = window->size() - QSize(0, window->menuBar()->height());
    QCOMPARE(client, QSize(636, 363));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(window->windowFlags() & Qt::WindowMinimizeButtonHint));
}

// 48 hex and 16 ASCII characters fill a line, 15 lines the view, each at its own column.
void GeometryTest::dumpCellsAreEightByFifteen() {
    const QByteArray bytes = TestFiles::addin();
    m_h->openAddin(bytes);
    for (DumpPane* pane : {m_h->hexPane(), m_h->asciiPane()}) {
        const auto caretAt = [&](int position) { return pane->characterRect(position).topLeft(); };
        pane->select(0, 0);
        const QPoint first = caretAt(0);
        QCOMPARE(pane->cursorRect().topLeft(), first);
        const int columns = pane->columns();
        QCOMPARE(caretAt(columns - 1) - first, QPoint(8 * (columns - 1), 0));
        QCOMPARE(caretAt(14 * columns + 1) - first, QPoint(8, 14 * 15));
        QVERIFY(pane->viewport()->width() >= 8 * columns + 1);
        QVERIFY(pane->viewport()->height() >= 15 * 15);
        QVERIFY(pane->viewport()->height() < 16 * 15);
    }
}

QTEST_MAIN(GeometryTest)
#include "tst_geometry.moc"

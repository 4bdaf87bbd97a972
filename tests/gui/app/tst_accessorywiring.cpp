// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutBox.h"
#include "IconBitmap.h"
#include "IconCode.h"
#include "IconCodeWindow.h"
#include "WindowHarness.h"

#include <QLabel>
#include <QTimer>

namespace {

QString codeOf(const QByteArray& icon) {
    QImage pixels = IconBitmap::cleared(Qt::white);
    IconBitmap::paint(pixels, icon);
    return IconCode::fromPixels(pixels);
}

} // namespace

class AccessoryWiringTest : public QObject {
    Q_OBJECT

private slots:
    void iconDoubleClickShowsTheCode();
    void noWindowWithoutAnAddin_data();
    void noWindowWithoutAnAddin();
    void secondDoubleClickReplacesTheText();
    void openingAnotherFileClosesIt_data();
    void openingAnotherFileClosesIt();
    void closingTheMainWindowLeavesItOpen();
    void aboutBoxOpensModalAndClosesOnAClick();
};

void AccessoryWiringTest::iconDoubleClickShowsTheCode() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QVERIFY(!h.window->iconCodeWindow());
    QTest::mouseDClick(h.header()->Picture1, Qt::LeftButton);
    IconCodeWindow* code = h.window->iconCodeWindow();
    QVERIFY(code);
    QVERIFY(code->isVisible());
    QCOMPARE(code->windowTitle(), QStringLiteral("Icon code"));
    QCOMPARE(code->code(), codeOf(TestFiles::icon()));
    QCOMPARE(code->code().size(), 831);
    QVERIFY(code->code().startsWith(QStringLiteral(".db $81,")));
}

void AccessoryWiringTest::noWindowWithoutAnAddin_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("nothing loaded") << QByteArray();
    QTest::newRow("data file") << TestFiles::addin("x", "y", 10, 8192, "DATA");
    QTest::newRow("not an add-in") << QByteArray(8192, 'x');
}

void AccessoryWiringTest::noWindowWithoutAnAddin() {
    QFETCH(QByteArray, bytes);
    WindowHarness h;
    if (!bytes.isEmpty()) {
        h.openAddin(bytes);
    }
    QTest::mouseDClick(h.header()->Picture1, Qt::LeftButton);
    QVERIFY(!h.window->iconCodeWindow());
    QVERIFY(!QApplication::topLevelWidgets().contains(h.window->iconCodeWindow()));
}

void AccessoryWiringTest::secondDoubleClickReplacesTheText() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QTest::mouseDClick(h.header()->Picture1, Qt::LeftButton);
    IconCodeWindow* first = h.window->iconCodeWindow();
    first->setCode(QStringLiteral("stale"));
    QTest::mouseDClick(h.header()->Picture1, Qt::LeftButton);
    QCOMPARE(h.window->iconCodeWindow(), first);
    QCOMPARE(first->code(), codeOf(TestFiles::icon()));
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(),
                           [](QWidget* w) { return qobject_cast<IconCodeWindow*>(w) != nullptr; }),
             1);
}

void AccessoryWiringTest::openingAnotherFileClosesIt_data() {
    QTest::addColumn<int>("otherSize");
    QTest::newRow("another add-in") << 8192;
    QTest::newRow("a refused file") << 9001;
}

void AccessoryWiringTest::openingAnotherFileClosesIt() {
    QFETCH(int, otherSize);
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QTest::mouseDClick(h.header()->Picture1, Qt::LeftButton);
    QPointer<IconCodeWindow> code = h.window->iconCodeWindow();
    QVERIFY(code);
    h.open(
        h.files.write(QStringLiteral("other.rex"), TestFiles::addin("Other", "x", 10, otherSize)));
    QTRY_VERIFY(!code);
    // A new double-click makes it afresh.
    QTest::mouseDClick(h.header()->Picture1, Qt::LeftButton);
    QVERIFY(h.window->iconCodeWindow());
}

void AccessoryWiringTest::closingTheMainWindowLeavesItOpen() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QTest::mouseDClick(h.header()->Picture1, Qt::LeftButton);
    QPointer<IconCodeWindow> code = h.window->iconCodeWindow();
    h.window->close();
    WindowHarness::settle();
    QVERIFY(!h.window->isVisible());
    QVERIFY(code);
    QVERIFY(code->isVisible());
}

void AccessoryWiringTest::aboutBoxOpensModalAndClosesOnAClick() {
    WindowHarness h;
    QString shownTitle;
    QString version;
    bool modal = false;
    h.window->action(QStringLiteral("mnuHelpAbout"))->trigger();
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<AboutBox*>(QApplication::activeModalWidget());
        QVERIFY(about);
        // Owned by the main window, so that it stays out of task bars.
        modal = about->isModal() && about->parentWidget() == h.window.get();
        shownTitle = about->windowTitle();
        version = about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
        QTest::mouseClick(about->findChild<QLabel*>(QStringLiteral("lblTitle")), Qt::LeftButton);
    });
    WindowHarness::settle();
    QVERIFY(modal);
    QCOMPARE(shownTitle, QStringLiteral("About Mobrin"));
    QCOMPARE(version, QStringLiteral("Version 1.0.1"));
    QVERIFY(!QApplication::activeModalWidget());
}

QTEST_MAIN(AccessoryWiringTest)
#include "tst_accessorywiring.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconCode.h"
#include "IconCodeWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {

QString lines(const QString& item, int count) {
    QString text;
    for (int row = 0; row < count; ++row) {
        text += QStringLiteral(".db %1,%1,%1,%1,%1,\r\n").arg(item);
    }
    return text;
}

QPlainTextEdit* codeBox(const IconCodeWindow& window) {
    return window.findChild<QPlainTextEdit*>(QStringLiteral("icnCode"));
}

QPushButton* okButton(const IconCodeWindow& window) {
    return window.findChild<QPushButton*>(QStringLiteral("OKButton"));
}

} // namespace

class IconCodeWindowTest : public QObject {
    Q_OBJECT

private slots:
    void layout();
    void opensWithTheFocusInTheText();
    void okClosesAndDestroys();
    void keysDoNotClose_data();
    void keysDoNotClose();
    void setCodeReplaces_data();
    void setCodeReplaces();
    void textCanBeSelectedAndCopied();
    void keepsTheProgramRunning();
};

void IconCodeWindowTest::layout() {
    IconCodeWindow window;
    QCOMPARE(window.objectName(), QStringLiteral("frmIcnCode"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Icon code"));
    QVERIFY(window.parent() == nullptr);
    QVERIFY(window.isWindow());
    QVERIFY(!window.windowIcon().isNull());
    QVERIFY(window.testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QCOMPARE(window.geometry(), QRect(184, 250, 241, 320));
    QCOMPARE(window.minimumSize(), QSize(241, 320));
    QCOMPARE(window.maximumSize(), QSize(241, 320));

    const QPlainTextEdit* code = codeBox(window);
    QVERIFY(code);
    QCOMPARE(code->geometry(), QRect(4, 3, 233, 284));
    QVERIFY(code->isReadOnly());
    // Every column the same width, so the items line up.
    const QFontMetrics metrics(code->font());
    QCOMPARE(metrics.horizontalAdvance(QLatin1Char('i')),
             metrics.horizontalAdvance(QLatin1Char('W')));
    QCOMPARE(metrics.horizontalAdvance(QLatin1Char(',')),
             metrics.horizontalAdvance(QLatin1Char('$')));
    QCOMPARE(code->lineWrapMode(), QPlainTextEdit::NoWrap);

    const QPushButton* ok = okButton(window);
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), QRect(80, 292, 81, 25));
    QVERIFY(!ok->isDefault());
    QVERIFY(!ok->autoDefault());
}

void IconCodeWindowTest::opensWithTheFocusInTheText() {
    IconCodeWindow window;
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QApplication::focusWidget(), codeBox(window));
    QTest::keyClick(codeBox(window), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), okButton(window));
}

void IconCodeWindowTest::okClosesAndDestroys() {
    QPointer<IconCodeWindow> window = new IconCodeWindow;
    window->setCode(lines(QStringLiteral("$00"), 32));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTest::mouseClick(okButton(*window), Qt::LeftButton);
    QTRY_VERIFY(window.isNull());
}

void IconCodeWindowTest::keysDoNotClose_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("onButton");

    QTest::newRow("Esc in the text") << int(Qt::Key_Escape) << false;
    QTest::newRow("Enter in the text") << int(Qt::Key_Return) << false;
    QTest::newRow("Esc on OK") << int(Qt::Key_Escape) << true;
}

void IconCodeWindowTest::keysDoNotClose() {
    QFETCH(int, key);
    QFETCH(bool, onButton);

    QPointer<IconCodeWindow> window = new IconCodeWindow;
    const QString text = lines(QStringLiteral("$3C"), 32);
    window->setCode(text);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget* target = onButton ? static_cast<QWidget*>(okButton(*window)) : codeBox(*window);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QCoreApplication::processEvents();
    QVERIFY(!window.isNull());
    QVERIFY(window->isVisible());
    QCOMPARE(window->code(), text);
    delete window;
}

void IconCodeWindowTest::setCodeReplaces_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");

    const QString white = lines(QStringLiteral("$00"), 31) + ".db $00,$00,$00,$00,$00\r\n";
    const QString black = lines(QStringLiteral("$FF"), 31) + ".db $FF,$FF,$FF,$FF,$FF\r\n";
    QTest::newRow("white, then black") << white << black;
    QTest::newRow("same text twice") << black << black;
    QTest::newRow("short, then full") << QStringLiteral(".db $81\r\n") << white;
}

void IconCodeWindowTest::setCodeReplaces() {
    QFETCH(QString, first);
    QFETCH(QString, second);

    IconCodeWindow window;
    window.setCode(first);
    QCOMPARE(window.code(), first);
    window.setCode(second);
    QCOMPARE(window.code(), second);
    QCOMPARE(codeBox(window)->blockCount(), int(second.count(QStringLiteral("\r\n"))) + 1);
    // One assignment: the box's undo history holds nothing to go back to.
    QVERIFY(!codeBox(window)->document()->isUndoAvailable());
    // "defb": the same rows as the assemblers take them, and back.
    window.assemblerBox()->click();
    QCOMPARE(window.code(), IconCode::asAssembler(second));
    window.assemblerBox()->click();
    QCOMPARE(window.code(), second);
}

void IconCodeWindowTest::textCanBeSelectedAndCopied() {
    IconCodeWindow window;
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.setCode(QStringLiteral(".db $81,$00,$00,$00,$00,\r\n") +
                   lines(QStringLiteral("$00"), 31));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QPlainTextEdit* code = codeBox(window);
    QVERIFY(code->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));

    // The caret moves with the keyboard: select the first line, then copy it.
    QApplication::clipboard()->clear();
    QTest::keyClick(code, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(code, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(code->textCursor().selectedText(), QStringLiteral(".db $81,$00,$00,$00,$00,"));
    QTest::keyClick(code, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral(".db $81,$00,$00,$00,$00,"));

    // Typing changes nothing.
    QTest::keyClicks(code, "xyz");
    QVERIFY(code->toPlainText().startsWith(QStringLiteral(".db $81,")));
}

void IconCodeWindowTest::keepsTheProgramRunning() {
    // The icon-code window outlives the main window: the program ends only when it too is
    // closed. Qt reports the last window closed only inside the application's event loop.
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    auto* mainWindow = new QWidget;
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    mainWindow->show();
    QPointer<IconCodeWindow> window = new IconCodeWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QObject timers;
    bool openAfterMainClosed = false;
    QTimer::singleShot(0, &timers, [&] { mainWindow->close(); });
    QTimer::singleShot(100, &timers, [&] {
        openAfterMainClosed = !window.isNull() && window->isVisible();
        QCOMPARE(lastClosed.count(), 0);
        QTest::mouseClick(okButton(*window), Qt::LeftButton);
    });
    QTimer::singleShot(10000, &timers, [] { QCoreApplication::exit(1); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(openAfterMainClosed);
    QCOMPARE(lastClosed.count(), 1);
    QTRY_VERIFY(window.isNull());
}

QTEST_MAIN(IconCodeWindowTest)
#include "tst_iconcodewindow.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinCheck.h"
#include "WindowHarness.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithNothingLoaded();
    void menuItems_data();
    void menuItems();
    void controlsCarryTheirToolTips_data();
    void controlsCarryTheirToolTips();
    void keyboardOrder();
    void closeAsksOnlyWhenPatched_data();
    void closeAsksOnlyWhenPatched();
    void saveAsShortcutWorksInsideADumpPane();
    void propertiesWithoutAFileDoesNothing();
    void checkLooksAtThePatchedImage();
};

void MainWindowTest::startsWithNothingLoaded() {
    WindowHarness h;
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin - By Keldor"));
    QCOMPARE(h.window->objectName(), QStringLiteral("main"));
    QVERIFY(!h.stripBox()->isEnabled());
    QVERIFY(!h.stripBox()->isChecked());
    for (HeaderBox* box : h.window->findChildren<HeaderBox*>()) {
        QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        QVERIFY2(box->isReadOnly(), qPrintable(box->objectName()));
        QCOMPARE(box->palette().color(QPalette::Base), h.window->palette().color(QPalette::Window));
    }
    QVERIFY(h.hexPane()->dumpText().isEmpty());
    QVERIFY(h.asciiPane()->dumpText().isEmpty());
    QVERIFY(h.addressText().startsWith(QStringLiteral("0000")));
    QCOMPARE(h.panelText(QStringLiteral("ctPos")), QStringLiteral("$0"));
    QCOMPARE(h.panelText(QStringLiteral("SelLen")), QStringLiteral("$0"));
    QCOMPARE(h.panelText(QStringLiteral("totByte")), QStringLiteral("$0"));
    QVERIFY(h.panelText(QStringLiteral("say")).isEmpty());
    QVERIFY(!h.panelText(QStringLiteral("time")).isEmpty());
    // The first pane in the keyboard order gets the focus, and with it the lead.
    QCOMPARE(QApplication::focusWidget(), h.asciiPane());
    QCOMPARE(h.dump()->activePane(), h.asciiPane());
    for (const QString& tagged :
         {QStringLiteral("Aorg"), QStringLiteral("Aw1"), QStringLiteral("Aw2")}) {
        QCOMPARE(h.window->findChild<HeaderBox*>(tagged)->base(), NumberForm::Base::Hex);
    }
    for (const QString& key :
         {QStringLiteral("ctPos"), QStringLiteral("SelLen"), QStringLiteral("totByte")}) {
        QCOMPARE(h.window->statusPanels()->panel(key)->base(), NumberForm::Base::Hex);
    }
    QVERIFY(h.prompts.messages.isEmpty());
}

void MainWindowTest::menuItems_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("open") << "mnuFileOpen"
                          << "&Open" << QKeySequence(QStringLiteral("Ctrl+O"));
    QTest::newRow("save") << "mnuFileSave"
                          << "Save" << QKeySequence(QStringLiteral("Ctrl+S"));
    QTest::newRow("save as") << "mnuFileSaveAs"
                             << "Save &As..." << QKeySequence(QStringLiteral("Ctrl+A"));
    QTest::newRow("properties") << "mnuFileProperties"
                                << "Propert&ies" << QKeySequence();
    QTest::newRow("exit") << "mnuFileExit"
                          << "E&xit" << QKeySequence();
    QTest::newRow("about") << "mnuHelpAbout"
                           << "&About Mobrin!..." << QKeySequence();
}

void MainWindowTest::menuItems() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    WindowHarness h;
    QAction* item = h.window->action(name);
    QVERIFY(item);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut(), shortcut);
    QVERIFY(item->isEnabled());
    QVERIFY(item->isVisible());

    QList<QAction*> top = h.window->menuBar()->actions();
    QCOMPARE(top.size(), 5);
    QCOMPARE(top[0]->text(), QStringLiteral("&File"));
    QCOMPARE(top[1]->text(), QStringLiteral("&Edit"));
    QCOMPARE(top[2]->text(), QStringLiteral("&Search"));
    QCOMPARE(top[3]->text(), QStringLiteral("Mar&ks"));
    QCOMPARE(top[4]->text(), QStringLiteral("&Help"));
    QStringList fileItems;
    for (QAction* entry : top[0]->menu()->actions()) {
        fileItems << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    }
    QCOMPARE(fileItems,
             QStringList({"&Open", "&New add-in from code...", "-", "Save", "Save &As...",
                          "Co&mpare with...", "-", "Propert&ies", "Code &listing", "&Run add-in",
                          "Data &inspector", "Check add-in", "-", "E&xit"}));
    QStringList editItems;
    for (QAction* entry : top[1]->menu()->actions()) {
        editItems << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
    }
    QCOMPARE(editItems, QStringList({"&Undo", "&Redo", "-", "&Copy", "Copy as &hex", "&Paste over",
                                     "-", "&Fill selection...", "Select &all"}));
}

void MainWindowTest::controlsCarryTheirToolTips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("toolTip");
    QTest::newRow("hex") << "scrHEX"
                         << "The HEX window";
    QTest::newRow("ascii") << "scrASC"
                           << "The ASCII window";
    QTest::newRow("strip") << "chkCode"
                           << "Strip/Show Header";
    QTest::newRow("icon") << "Picture1"
                          << "AddIn Icon - DubleClick for icon code.";
    QTest::newRow("org") << "Aorg"
                         << "Code start address - Click to toggle HEX/Dec";
    QTest::newRow("head") << "Ahead"
                          << "Header size.";
    QTest::newRow("code") << "Acode"
                          << "Approximate code size.";
    QTest::newRow("w1") << "Aw1"
                        << "Unknown word!? - Click to toggle HEX/Dec";
    QTest::newRow("w2") << "Aw2"
                        << "Unknown word!? - Click to toggle HEX/Dec";
    QTest::newRow("desc") << "Adesc"
                          << "AddIn description";
    QTest::newRow("name") << "Aname"
                          << "AddIn name";
    QTest::newRow("type") << "Atype"
                          << "AddIn type";
    QTest::newRow("position") << "ctPos"
                              << "Current position - click to toggle HEX/Dec";
    QTest::newRow("length") << "SelLen"
                            << "Selected bytes - click to toggle HEX/Dec";
    QTest::newRow("total") << "totByte"
                           << "Total file size - click to toggle HEX/Dec";
}

void MainWindowTest::controlsCarryTheirToolTips() {
    QFETCH(QString, name);
    QFETCH(QString, toolTip);
    WindowHarness h;
    QWidget* control = h.window->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->toolTip(), toolTip);
}

void MainWindowTest::keyboardOrder() {
    WindowHarness h;
    const QStringList expected = {"scrASC", "scrHEX", "Atype", "Aname", "Adesc",    "Aw2",
                                  "Aw1",    "Acode",  "Ahead", "Aorg",  "Picture1", "chkCode"};
    QWidget* widget = h.window->findChild<QWidget*>(expected.first());
    QStringList seen{widget->objectName()};
    for (qsizetype i = 1; i < expected.size(); ++i) {
        widget = widget->nextInFocusChain();
        while (!expected.contains(widget->objectName())) {
            widget = widget->nextInFocusChain();
        }
        seen << widget->objectName();
    }
    QCOMPARE(seen, expected);
}

void MainWindowTest::closeAsksOnlyWhenPatched_data() {
    QTest::addColumn<bool>("patched");
    QTest::addColumn<bool>("viaExit");
    QTest::addColumn<Prompts::Answer>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("clean, close box") << false << false << Prompts::Answer::No << true;
    QTest::newRow("clean, exit") << false << true << Prompts::Answer::No << true;
    QTest::newRow("patched, close box, no") << true << false << Prompts::Answer::No << false;
    QTest::newRow("patched, exit, no") << true << true << Prompts::Answer::No << false;
    QTest::newRow("patched, close box, yes") << true << false << Prompts::Answer::Yes << true;
    QTest::newRow("patched, exit, yes") << true << true << Prompts::Answer::Yes << true;
}

void MainWindowTest::closeAsksOnlyWhenPatched() {
    QFETCH(bool, patched);
    QFETCH(bool, viaExit);
    QFETCH(Prompts::Answer, answer);
    QFETCH(bool, closes);
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    const QString path = h.openAddin(original);
    if (patched) {
        h.patch(h.box("Aname"), QStringLiteral("Time"));
        QVERIFY(h.document().isPatched());
    }
    const qsizetype asked = h.prompts.messages.size();
    h.prompts.answer(answer);
    if (viaExit) {
        h.window->action(QStringLiteral("mnuFileExit"))->trigger();
        WindowHarness::settle();
    } else {
        h.window->close();
        WindowHarness::settle();
    }
    QCOMPARE(h.window->isVisible(), !closes);
    if (patched) {
        QCOMPARE(h.prompts.messages.size(), asked + 1);
        QCOMPARE(
            h.prompts.messages.last(),
            (Prompts::Message{"Discard the changes?", "Add-in changed!", Prompts::Icon::Question,
                              Prompts::Buttons::YesNo, Prompts::Answer::No}));
        QVERIFY(h.document().isPatched());
    } else {
        QCOMPARE(h.prompts.messages.size(), asked);
    }
    // Nothing is ever saved on the way out.
    QCOMPARE(TestFiles::read(path), original);
}

void MainWindowTest::saveAsShortcutWorksInsideADumpPane() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    h.hexPane()->setFocus();
    QTRY_VERIFY(h.hexPane()->hasFocus());
    h.prompts.choose(std::nullopt);
    QTest::keyClick(h.hexPane(), Qt::Key_A, Qt::ControlModifier);
    WindowHarness::settle();
    QCOMPARE(h.prompts.requests.size(), 2);
    QCOMPARE(h.prompts.requests.last().kind, Prompts::FileRequest::Kind::Save);
    // Select All did not take the key: the hex pane's selection stays empty.
    QCOMPARE(h.hexPane()->selectionLength(), 0);
}

void MainWindowTest::propertiesWithoutAFileDoesNothing() {
    WindowHarness h;
    h.window->action(QStringLiteral("mnuFileProperties"))->trigger();
    QVERIFY(h.box("Atype")->text().isEmpty());
    QVERIFY(h.box("Ahead")->text().isEmpty());
    QVERIFY(h.prompts.messages.isEmpty());
}

void MainWindowTest::checkLooksAtThePatchedImage() {
    WindowHarness h;
    QVERIFY(!h.window->action(QStringLiteral("mnuFileCheck"))->isEnabled());
    h.openAddin(TestFiles::addin());
    h.patch(h.box("Aname"), QStringLiteral("Time"));
    h.prompts.messages.clear();
    h.command("mnuFileCheck");
    QCOMPARE(h.prompts.texts(),
             QStringList{AddinCheck::report(AddinCheck::of(h.document().image().bytes()))});
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AboutBox.h"
#include "BookmarksWindow.h"
#include "ByteReadoutWindow.h"
#include "CompareWindow.h"
#include "FindBox.h"
#include "GoToBox.h"
#include "IconBitmap.h"
#include "IconCode.h"
#include "IconCodeWindow.h"
#include "WindowHarness.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

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
    void iconDoubleClickShowsTheCode_data();
    void iconDoubleClickShowsTheCode();
    void noWindowWithoutAnAddin_data();
    void noWindowWithoutAnAddin();
    void secondDoubleClickReplacesTheText();
    void openingAnotherFileClosesIt_data();
    void openingAnotherFileClosesIt();
    void closingTheMainWindowLeavesItOpen();
    void aboutBoxOpensModalAndClosesOnAClick();
    void findGoToAndCompare();
    void inspectorFollowsTheCaretAndFixesWord1();
    void marksFromTheDumpAndTheBookmarksList();
};

void AccessoryWiringTest::iconDoubleClickShowsTheCode_data() {
    QTest::addColumn<int>("cutAfter"); // icon bytes the file holds
    QTest::addColumn<bool>("darkDesktop");
    QTest::newRow("whole icon") << 160 << false;
    // The code comes from the icon bytes: the missing ones are white pixels, not the box's
    // background, whatever the desktop's colours.
    QTest::newRow("icon cut short, dark desktop") << 37 << true;
}

void AccessoryWiringTest::iconDoubleClickShowsTheCode() {
    QFETCH(int, cutAfter);
    QFETCH(bool, darkDesktop);
    WindowHarness h;
    if (darkDesktop) {
        QPalette dark = h.window->palette();
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        h.window->setPalette(dark);
    }
    const QByteArray addin = TestFiles::addin();
    const int iconStart = int(AddinHeader::parse(addin).iconStart);
    h.openAddin(addin.left(cutAfter < 160 ? iconStart - 1 + cutAfter : addin.size()));
    QVERIFY(!h.shown<IconCodeWindow>());
    QTest::mouseDClick(h.icon(), Qt::LeftButton);
    IconCodeWindow* code = h.shown<IconCodeWindow>();
    QVERIFY(code);
    QVERIFY(code->isVisible());
    QCOMPARE(code->windowTitle(), QStringLiteral("Icon code"));
    QCOMPARE(code->code(), codeOf(TestFiles::icon().left(cutAfter)));
    QCOMPARE(code->code().size(), 831);
    QVERIFY(code->code().startsWith(QStringLiteral(".db $81,")));
    QVERIFY(code->code().endsWith(cutAfter < 160 ? QStringLiteral(",$00,$00,$00\r\n")
                                                 : QStringLiteral(",$F5,$1A\r\n")));
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
    QTest::mouseDClick(h.icon(), Qt::LeftButton);
    QVERIFY(!h.shown<IconCodeWindow>());
    QVERIFY(!QApplication::topLevelWidgets().contains(h.shown<IconCodeWindow>()));
}

void AccessoryWiringTest::secondDoubleClickReplacesTheText() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QTest::mouseDClick(h.icon(), Qt::LeftButton);
    IconCodeWindow* first = h.shown<IconCodeWindow>();
    first->setCode(QStringLiteral("stale"));
    QTest::mouseDClick(h.icon(), Qt::LeftButton);
    QCOMPARE(h.shown<IconCodeWindow>(), first);
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
    QTest::mouseDClick(h.icon(), Qt::LeftButton);
    QPointer<IconCodeWindow> code = h.shown<IconCodeWindow>();
    QVERIFY(code);
    h.open(
        h.files.write(QStringLiteral("other.rex"), TestFiles::addin("Other", "x", 10, otherSize)));
    QTRY_VERIFY(!code);
    // A new double-click makes it afresh.
    QTest::mouseDClick(h.icon(), Qt::LeftButton);
    QVERIFY(h.shown<IconCodeWindow>());
}

void AccessoryWiringTest::closingTheMainWindowLeavesItOpen() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QTest::mouseDClick(h.icon(), Qt::LeftButton);
    QPointer<IconCodeWindow> code = h.shown<IconCodeWindow>();
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

// What the window adds to the core's Find, Go to and Compare (tst_addindocument): the boxes,
// the status bar's note, the view and the marks in both panes.
void AccessoryWiringTest::findGoToAndCompare() {
    WindowHarness h;
    QVERIFY(!h.window->action(QStringLiteral("mnuSearchFind"))->isEnabled());
    h.openAddin(TestFiles::addin());
    const auto selection = [&] { return h.window->dumpState().selection(); };

    // F3 before any pattern: the box, to type one. A refusal shows in it, and nothing moves.
    h.command("mnuSearchFindNext");
    FindBox* find = h.shown<FindBox>();
    QVERIFY(find && find->isVisible());
    auto* field = find->findChild<QLineEdit*>(QStringLiteral("txtFind"));
    find->findChild<QRadioButton*>(QStringLiteral("optBytes"))->click();
    QTest::keyClicks(field, QStringLiteral("CD 9"));
    QTest::keyClick(field, Qt::Key_Return);
    WindowHarness::settle();
    QVERIFY(find->findChild<QLabel*>(QStringLiteral("lblFindRefusal"))->isVisible());
    QCOMPARE(selection(), (ByteRange{0, 0}));
    // The only hit twice: the wrap note stays in the status bar after the panes follow.
    field->setText(QStringLiteral("06 ?? 08"));
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Return);
    WindowHarness::settle();
    QCOMPARE(selection(), (ByteRange{211, 3}));
    QCOMPARE(h.panelText(QStringLiteral("say")),
             QStringLiteral("Passed the end; continued from the start."));

    // Go to from the end to the last byte of the first line: that line comes into view.
    h.window->dumpState().select(8191, 1);
    h.command("mnuSearchGoTo");
    auto* target = h.shown<GoToBox>()->findChild<QLineEdit*>(QStringLiteral("txtGoTo"));
    QTest::keyClicks(target, QStringLiteral("$0F"));
    QTest::keyClick(target, Qt::Key_Return);
    WindowHarness::settle();
    QCOMPARE(selection(), (ByteRange{15, 1}));
    QCOMPARE(h.hexPane()->firstVisibleChar(), 0);
    QVERIFY(!h.shown<GoToBox>()->isVisible());

    // Compare: both panes mark the name's bytes (23 to 27), the window lists the name, F7
    // selects it, closing the window ends it all.
    h.prompts.choose(h.files.write(QStringLiteral("timer.rex"), TestFiles::addin("Timer")));
    h.command("mnuFileCompare");
    const QList<ByteRange>& marks =
        h.window->dumpState().highlights().ranges(ByteHighlights::Kind::CompareDifference);
    QCOMPARE(marks, (QList<ByteRange>{{23, 5}}));
    const QTreeWidget* fields = h.shown<CompareWindow>()->fieldTable();
    QCOMPARE(fields->topLevelItemCount(), 1);
    QCOMPARE(fields->topLevelItem(0)->text(2), QStringLiteral("Timer"));
    h.command("mnuSearchNextDifference");
    QCOMPARE(selection(), (ByteRange{23, 5}));
    h.shown<CompareWindow>()->close();
    WindowHarness::settle();
    QVERIFY(marks.isEmpty());
    QVERIFY(!h.window->action(QStringLiteral("mnuSearchNextDifference"))->isEnabled());
}

// Ctrl+I shows the byte at the caret; word 1 typed over in its 16-bit field is one step that
// Undo takes back, and a value that does not fit is refused in the window, not in a box.
void AccessoryWiringTest::inspectorFollowsTheCaretAndFixesWord1() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    h.window->dumpState().select(41, 0);
    h.command("mnuFileInspector");
    ByteReadoutWindow* inspector = h.shown<ByteReadoutWindow>();
    QVERIFY(inspector && inspector->isVisible());
    QCOMPARE(inspector->shownText(QStringLiteral("lblInspectField")), QStringLiteral("word 1"));
    QCOMPARE(inspector->shownText(QStringLiteral("lblInspectOffset")), QStringLiteral("$29 (41)"));

    QLineEdit* little = inspector->valueField(ByteReadout::Value::Little16);
    little->setText(QStringLiteral("$1A"));
    QTest::keyClick(little, Qt::Key_Return);
    WindowHarness::settle();
    QCOMPARE(h.document().header().word1, std::optional<quint16>(0x1A));
    QCOMPARE(h.box("Aw1")->text(), QStringLiteral("$001A"));
    QCOMPARE(little->text(), QStringLiteral("26"));
    little->setText(QStringLiteral("70000"));
    QTest::keyClick(little, Qt::Key_Return);
    WindowHarness::settle();
    QVERIFY(inspector->shownText(QStringLiteral("lblInspectNote"))
                .startsWith(QStringLiteral("\u201C70000\u201D is not a 16-bit value")));
    QVERIFY(h.prompts.messages.isEmpty());
    // Undo's and Redo's keys act on the document in the value fields, not on their text.
    QVERIFY(inspector->actions().contains(h.window->action(QStringLiteral("mnuEditUndo"))));
    QVERIFY(QTest::qWaitForWindowActive(inspector));
    little->setFocus();
    const std::optional<quint16> before = AddinHeader::parse(TestFiles::addin()).word1;
    const std::optional<quint16> typed(0x1A);
    const std::pair<QKeyCombination, std::optional<quint16>> keys[] = {
        {QKeyCombination(Qt::CTRL, Qt::Key_Z), before},
        {QKeyCombination(Qt::CTRL, Qt::Key_Y), typed},
        {QKeyCombination(Qt::CTRL, Qt::Key_Z), before},
        {QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z), typed},
        {QKeyCombination(Qt::CTRL, Qt::Key_Z), before},
    };
    for (const auto& [pressed, word1] : keys) {
        QTest::keyClick(little, pressed.key(), pressed.keyboardModifiers());
        WindowHarness::settle();
        QCOMPARE(h.document().header().word1, word1);
    }
    QCOMPARE(h.document().image().bytes(), TestFiles::addin());
    h.window->dumpState().select(205, 0);
    WindowHarness::settle();
    QCOMPARE(inspector->shownText(QStringLiteral("lblInspectAddress")), QStringLiteral("$8000"));
}

// The dump reaches the marks through keys that hold Ctrl (letters type bytes there): each is
// one step to undo, shown through the marks layer; a refused mark says why; the Bookmarks
// list goes to a bookmark and Delete takes it away.
void AccessoryWiringTest::marksFromTheDumpAndTheBookmarksList() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    const ByteHighlights& layer = h.window->dumpState().highlights();
    h.window->dumpState().select(205, 4);
    h.hexPane()->setFocus();
    QTest::keyClick(h.hexPane(), Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    WindowHarness::settle();
    QCOMPARE(layer.ranges(ByteHighlights::Kind::Marked), (QList<ByteRange>{{205, 4}}));
    QCOMPARE(h.window->action(QStringLiteral("mnuEditUndo"))->text(),
             QStringLiteral("&Undo Mark as bytes"));
    QVERIFY(h.document().isPatched());

    h.prompts.type(QStringLiteral("9lives"));
    QTest::keyClick(h.hexPane(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    WindowHarness::settle();
    QCOMPARE(h.prompts.messages.size(), 1);
    QVERIFY(h.document().marks().marks().size() == 1);

    h.prompts.type(QStringLiteral("the entry"));
    QTest::keyClick(h.hexPane(), Qt::Key_B, Qt::ControlModifier);
    WindowHarness::settle();
    QCOMPARE(layer.ranges(ByteHighlights::Kind::Bookmarked), (QList<ByteRange>{{205, 4}}));
    h.window->dumpState().select(300, 0);
    h.command("mnuMarksBookmarks");
    BookmarksWindow* bookmarks = h.shown<BookmarksWindow>();
    QVERIFY(bookmarks && bookmarks->isVisible());
    QListWidget* list = bookmarks->list();
    QCOMPARE(list->item(0)->text(), QStringLiteral("$8000-$8003  the entry"));
    emit list->itemActivated(list->item(0));
    QCOMPARE(h.window->dumpState().selection(), (ByteRange{205, 4}));
    QTest::keyClick(list, Qt::Key_Delete);
    WindowHarness::settle();
    QVERIFY(layer.ranges(ByteHighlights::Kind::Bookmarked).isEmpty());
    QCOMPARE(list->item(0)->flags(), Qt::NoItemFlags);
    h.command("mnuEditUndo");
    h.command("mnuEditUndo");
    h.command("mnuEditUndo");
    QVERIFY(h.document().marks().isEmpty());
}

QTEST_MAIN(AccessoryWiringTest)
#include "tst_accessorywiring.moc"

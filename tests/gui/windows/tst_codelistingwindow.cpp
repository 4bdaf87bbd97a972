// SPDX-License-Identifier: GPL-3.0-or-later
// The code listing window beside a real main window: the listing and the dump point at the
// same bytes whichever of them the user moves, and the listing follows what the window loads.
// Then where the listing and the small windows go beside or below the main window.
#include "CodeListing.h"
#include "CodeListingWindow.h"
#include "OwnerPlacement.h"
#include "WindowHarness.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QTextBlock>

namespace {

enum class Step {
    HexCaret,        // the caret to file offset `at` in the hex pane
    AsciiSelection,  // `length` bytes from file offset `at` selected in the ASCII pane
    Click,           // a click on line `at` of the listing
    SelectAll,       // Ctrl+A in the listing
    FollowJump,      // Enter on the instruction at file offset `at`
    FollowAndBack,   // the same, then Alt+Left, Alt+Right and Alt+Left
    SelectThenPatch, // lines selected in the listing, then the name patched to "Tick"
    TickStrip,       // "Strip header" ticked while the listing is open
    PatchName,       // the name patched to "Tick"
    OpenOther,       // another add-in opened
    OpenData,        // a file of class DATA opened
    OpenDamaged,     // an add-in whose header ends inside the icon opened
};

constexpr int kHeadSize = 205; // TestFiles::addin()'s header

// The line of `text` as an offscreen user clicks it: a few characters into the line.
QPoint pointOfLine(QPlainTextEdit* text, int line) {
    QTextCursor cursor(text->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
    return text->cursorRect(cursor).center();
}

} // namespace

class CodeListingWindowTest : public QObject {
    Q_OBJECT

private slots:
    void followsTheDumpAndTheDocument_data();
    void followsTheDumpAndTheDocument();
    void placement_data();
    void placement();
};

// On the offscreen platform's 800 x 800 screen; the window is 200 x 100.
void CodeListingWindowTest::placement_data() {
    QTest::addColumn<QString>("where"); // "beside", "below left" or "below right"
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QPoint>("placed");
    QTest::newRow("beside, on the right") << "beside" << QRect(10, 10, 300, 200) << QPoint(318, 10);
    QTest::newRow("beside, no room right: left")
        << "beside" << QRect(490, 10, 300, 200) << QPoint(282, 10);
    QTest::newRow("beside, no room either side: the right edge")
        << "beside" << QRect(100, 10, 600, 200) << QPoint(600, 10);
    QTest::newRow("below, left edge") << "below left" << QRect(10, 10, 300, 200) << QPoint(10, 218);
    QTest::newRow("below, right edge")
        << "below right" << QRect(10, 10, 300, 200) << QPoint(110, 218);
    QTest::newRow("no room below: above")
        << "below left" << QRect(10, 550, 300, 200) << QPoint(10, 442);
    QTest::newRow("no room below or above: beside, left first, bottoms level")
        << "below right" << QRect(250, 100, 300, 600) << QPoint(42, 600);
    QTest::newRow("no room below, above or left: beside on the right")
        << "below right" << QRect(100, 100, 300, 600) << QPoint(408, 600);
}

void CodeListingWindowTest::placement() {
    QFETCH(QString, where);
    QFETCH(QRect, owner);
    QFETCH(QPoint, placed);
    QWidget ownerWindow;
    const QRect screen = ownerWindow.screen()->availableGeometry();
    if (screen.size() != QSize(800, 800)) {
        QSKIP("The rows are for the offscreen platform's screen.");
    }
    ownerWindow.setGeometry(owner.translated(screen.topLeft()));
    QWidget window;
    window.resize(200, 100);
    if (where == "beside") {
        OwnerPlacement::placeBeside(window, ownerWindow);
    } else {
        OwnerPlacement::placeBelow(window, ownerWindow,
                                   where == "below left" ? Qt::AlignLeft : Qt::AlignRight);
    }
    QCOMPARE(window.pos() - screen.topLeft(), placed);
}

void CodeListingWindowTest::followsTheDumpAndTheDocument_data() {
    QTest::addColumn<bool>("strip");
    QTest::addColumn<Step>("step");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("length");
    // What follows: the listing open with this title, its marked lines, and the dump's
    // selection in bytes, in both panes.
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("firstMarked");
    QTest::addColumn<int>("lastMarked");
    QTest::addColumn<int>("dumpStart");
    QTest::addColumn<int>("dumpLength");

    const QString clock = QStringLiteral("Code listing - Clock");
    // The code bytes are 00 01 02 ...: instruction 0 "nop" at file offset 205 (on line 1,
    // after the entry point's label), 1 "ld bc,$0302" from 206 to 208, 2 and 3 "inc b" and
    // "dec b", 4 "ld b,$07" at 211 and 212.
    QTest::newRow("hex caret on an operand marks its instruction")
        << false << Step::HexCaret << kHeadSize + 7 << 0 << clock << 4 << 4 << kHeadSize + 7 << 0;
    QTest::newRow("hex caret in the header marks nothing")
        << false << Step::HexCaret << 40 << 0 << clock << -1 << -1 << 40 << 0;
    QTest::newRow("ASCII selection marks every instruction it touches, header stripped")
        << true << Step::AsciiSelection << kHeadSize + 2 << 6 << clock << 1 << 4 << 2 << 6;
    QTest::newRow("click selects the instruction's bytes")
        << false << Step::Click << 2 << 0 << clock << 1 << 1 << kHeadSize + 1 << 3;
    QTest::newRow("click selects the instruction's bytes, header stripped")
        << true << Step::Click << 2 << 0 << clock << 1 << 1 << 1 << 3;
    // "djnz" at code byte $10 leads to "inc hl" at code byte $23; marked -3: the instruction at
    // the dump's selection.
    QTest::newRow("Enter follows a jump to its target")
        << false << Step::FollowJump << kHeadSize + 0x10 << 0 << clock << -3 << -3
        << kHeadSize + 0x23 << 1;
    QTest::newRow("Alt+Left goes back the way taken, Alt+Right forward")
        << true << Step::FollowAndBack << kHeadSize + 0x10 << 0 << clock << -3 << -3 << 0x10 << 2;
    // lastMarked -2: the listing's last line.
    QTest::newRow("Ctrl+A selects every instruction's bytes")
        << false << Step::SelectAll << 0 << 0 << clock << 0 << -2 << kHeadSize << 8192 - kHeadSize;
    QTest::newRow("a patch ends the listing's selection as it ends the dump's")
        << false << Step::SelectThenPatch << 0 << 0 << QStringLiteral("Code listing - Tick") << -1
        << -1 << 0 << 0;
    QTest::newRow("Strip header counts the dump from the code")
        << false << Step::TickStrip << 0 << 0 << clock << 0 << 0 << 0 << 0;
    QTest::newRow("patch renames the listing")
        << false << Step::PatchName << 0 << 0 << QStringLiteral("Code listing - Tick") << -1 << -1
        << 0 << 0;
    QTest::newRow("another add-in is listed")
        << true << Step::OpenOther << 0 << 0 << QStringLiteral("Code listing - Other") << 0 << 0
        << 0 << 0;
    QTest::newRow("a DATA file closes it")
        << false << Step::OpenData << 0 << 0 << QString() << -1 << -1 << 0 << 0;
    QTest::newRow("a damaged header closes it")
        << false << Step::OpenDamaged << 0 << 0 << QString() << -1 << -1 << 0 << 0;
}

void CodeListingWindowTest::followsTheDumpAndTheDocument() {
    QFETCH(bool, strip);
    QFETCH(Step, step);
    QFETCH(int, at);
    QFETCH(int, length);
    QFETCH(QString, title);
    QFETCH(int, firstMarked);
    QFETCH(int, lastMarked);
    QFETCH(int, dumpStart);
    QFETCH(int, dumpLength);

    WindowHarness h;
    QAction* item = h.window->action(QStringLiteral("mnuFileListing"));
    QVERIFY(!item->isEnabled());
    h.openAddin(TestFiles::addin());
    QVERIFY(item->isEnabled());
    if (strip) {
        h.stripBox()->click();
        WindowHarness::settle();
    }
    h.command("mnuFileListing");
    QPointer<CodeListingWindow> listing = h.shown<CodeListingWindow>();
    QVERIFY(listing);
    QVERIFY(listing->isVisible());
    const int dumpOffset = strip ? kHeadSize : 0;

    switch (step) {
    case Step::HexCaret:
        h.hexPane()->select((at - dumpOffset) * 3, 0);
        break;
    case Step::AsciiSelection:
        // The pane under the pointer leads.
        QTest::mouseMove(h.asciiPane()->viewport());
        WindowHarness::settle();
        QCOMPARE(h.dump()->leader(), DumpState::Pane::Ascii);
        h.asciiPane()->select(at - dumpOffset, length);
        break;
    case Step::Click:
        QTest::mouseClick(listing->textView()->viewport(), Qt::LeftButton, {},
                          pointOfLine(listing->textView(), at));
        break;
    case Step::FollowJump:
    case Step::FollowAndBack: {
        const int line = listing->lines().lineOf(listing->listing().indexAt(at));
        listing->activateWindow();
        listing->textView()->setTextCursor(
            QTextCursor(listing->textView()->document()->findBlockByNumber(line)));
        WindowHarness::settle();
        QTest::keyClick(listing->textView(), Qt::Key_Return);
        if (step == Step::FollowAndBack) {
            WindowHarness::settle();
            for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Left}) {
                QVERIFY(QTest::qWaitForWindowActive(listing));
                QTest::keyClick(listing, key, Qt::AltModifier);
                WindowHarness::settle();
            }
        }
        break;
    }
    case Step::SelectAll:
        QTest::keyClick(listing->textView(), Qt::Key_A, Qt::ControlModifier);
        break;
    case Step::SelectThenPatch:
        // Lines 0 to 2: the entry point's label, "nop" and "ld bc,$0302".
        for (int line = 0; line < 3; ++line) {
            QTest::keyClick(listing->textView(), Qt::Key_Down, Qt::ShiftModifier);
        }
        WindowHarness::settle();
        QCOMPARE(h.hexPane()->selectionLength(), 3 * 4);
        h.window->activateWindow();
        WindowHarness::settle();
        h.patch(h.box("Aname"), QStringLiteral("Tick"));
        break;
    case Step::TickStrip:
        h.stripBox()->click();
        break;
    case Step::PatchName:
        h.window->activateWindow();
        WindowHarness::settle();
        h.patch(h.box("Aname"), QStringLiteral("Tick"));
        QCOMPARE(h.document().header().name->text(), QStringLiteral("Tick "));
        break;
    case Step::OpenOther:
        h.openAddin(TestFiles::addin("Other", "x", 300), QStringLiteral("other.rex"));
        break;
    case Step::OpenData:
        h.openAddin(TestFiles::addin("x", "y", 10, 8192, "DATA"), QStringLiteral("data.rex"));
        break;
    case Step::OpenDamaged:
        h.openAddin(TestFiles::addin().left(150), QStringLiteral("cut.rex"));
        break;
    }
    WindowHarness::settle();

    QCOMPARE(item->isEnabled(), !title.isEmpty());
    if (title.isEmpty()) {
        QTRY_VERIFY(!listing);
        return;
    }
    QVERIFY(listing);
    QCOMPARE(listing->windowTitle(), title);
    // Back and Forward are offered only where there is a way to go.
    QCOMPARE(listing->findChild<QAction*>("mnuListingBack")->isEnabled(), step == Step::FollowJump);
    QCOMPARE(listing->findChild<QAction*>("mnuListingForward")->isEnabled(),
             step == Step::FollowAndBack);
    const CodeListing expected =
        CodeListing::ofAddin(h.document().image().bytes(), h.document().header(), true);
    const LabelledListing lines(expected, LabelledListing::Columns::WithCharacters);
    QCOMPARE(listing->textView()->toPlainText() + QLatin1Char('\n'), lines.text());

    if (lastMarked == -2) {
        lastMarked = int(expected.instructions().size()) - 1;
    }
    if (firstMarked == -3) {
        firstMarked = lastMarked = expected.indexAt(dumpStart + (strip ? kHeadSize : 0));
    }
    QCOMPARE(listing->markedLines(), std::make_pair(firstMarked, lastMarked));
    QCOMPARE(listing->textView()->textCursor().hasSelection(), step == Step::SelectAll);
    const QList<QTextEdit::ExtraSelection> marks = listing->textView()->extraSelections();
    QCOMPARE(marks.size(), firstMarked < 0 ? 0 : 1);
    if (firstMarked >= 0) {
        // The marked lines are in view.
        const QRect view = listing->textView()->viewport()->rect();
        QVERIFY(view.contains(pointOfLine(listing->textView(), lines.lineOf(firstMarked))));
        const QTextCursor cursor = marks.constFirst().cursor;
        QCOMPARE(cursor.document()->findBlock(cursor.selectionStart()).blockNumber(),
                 lines.lineOf(firstMarked));
        QCOMPARE(cursor.document()
                     ->findBlock(qMax(cursor.selectionStart(), cursor.selectionEnd() - 1))
                     .blockNumber(),
                 lines.lineOf(lastMarked));
    }

    QCOMPARE(h.hexPane()->selectionStart(), dumpStart * 3);
    QCOMPARE(h.hexPane()->selectionLength(), dumpLength * 3);
    QCOMPARE(h.asciiPane()->selectionStart(), dumpStart);
    QCOMPARE(h.asciiPane()->selectionLength(), dumpLength);
}

QTEST_MAIN(CodeListingWindowTest)
#include "tst_codelistingwindow.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The Run window beside a real main window: File > Run add-in opens it, the debugger's keys
// reach the run, a system call's answer is typed in its field, the registers are edited in
// theirs, no key is taken twice, and closing the window ends the run.
#include "CodeListingWindow.h"
#include "RegistersBox.h"
#include "RunListing.h"
#include "RunWindow.h"
#include "WindowHarness.h"
#include "Z80Programs.h"

#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

//   8000 ld a,$12    8002 call L800D    8005 ld hl,$002A    8008 ld ($C000),hl    800B rst $10
//   800C ret         L800D: 800D inc b  800E ret
// A call of DS_EVENT_MESSAGE_GET, then the return from the entry point.
const QByteArray kCode = QByteArray::fromHex("3E12 CD0D80 212A00 2200C0 D7 C9 04 C9");

// The program opened in a main window with its Code listing, and its Run window opened from
// the menu.
struct Opened {
    Opened() {
        h.openAddin(Z80Programs::addin(kCode));
        h.command("mnuFileListing");
        h.command("mnuFileRun");
        window = WindowHarness::shown<RunWindow>();
    }
    void keys(const QList<QKeySequence>& sequences) {
        for (const QKeySequence& keys : sequences) {
            QTest::keySequence(window, keys);
            WindowHarness::settle();
        }
    }
    // Puts the listing's caret on the line of `address`.
    void caretAt(int address) {
        QPlainTextEdit* listing = window->listingView();
        const int line = int(listing->toPlainText().split('\n').indexOf(
            QRegularExpression(QStringLiteral("^.. %1 .*").arg(address, 4, 16).toUpper())));
        listing->setTextCursor(QTextCursor(listing->document()->findBlockByNumber(line)));
    }
    int pc() const { return window->registersBox()->field(11)->text().toInt(nullptr, 16); }

    WindowHarness h;
    RunWindow* window = nullptr;
};

} // namespace

class RunWindowTest : public QObject {
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void aCallIsAnsweredInItsField();
    void registersAreEditedInTheirFields();
    void noKeyIsTakenTwice();
    void closingEndsTheRun();
};

void RunWindowTest::keys_data() {
    QTest::addColumn<int>("caret"); // where the listing's caret stands first
    QTest::addColumn<QList<QKeySequence>>("keys");
    QTest::addColumn<int>("pc");
    QTest::addColumn<QString>("marked"); // the line marked as next, as the view shows it
    const auto keys = [](const char* text) {
        QList<QKeySequence> list;
        for (const QString& key : QString(text).split(' ')) {
            list << QKeySequence(key);
        }
        return list;
    };
    QTest::newRow("F11 steps into")
        << 0x8000 << keys("F11 F11") << 0x800D << " \u25BA 800D  04           inc b";
    QTest::newRow("F10 steps over")
        << 0x8000 << keys("F11 F10") << 0x8005 << " \u25BA 8005  21 2A 00     ld hl,$002A";
    QTest::newRow("Shift+F11 steps out") << 0x8000 << keys("F11 F11 Shift+F11") << 0x8005 << "";
    QTest::newRow("F5 runs to the call") << 0x8000 << keys("F5") << 0x800B << "";
    QTest::newRow("Ctrl+F10 runs to the caret") << 0x8008 << keys("Ctrl+F10") << 0x8008 << "";
    QTest::newRow("F9 sets a breakpoint at the caret")
        << 0x8005 << keys("F9 F5") << 0x8005 << "\u25CF\u25BA 8005  21 2A 00     ld hl,$002A";
    QTest::newRow("F9 again takes it away") << 0x8005 << keys("F9 F9 F5") << 0x800B << "";
    QTest::newRow("Ctrl+F11 steps back") << 0x8000 << keys("F11 F11 Ctrl+F11") << 0x8002 << "";
    QTest::newRow("Shift+F5 runs back") << 0x8000 << keys("F5 Shift+F5") << 0x8000 << "";
    QTest::newRow("Ctrl+Shift+F5 starts again")
        << 0x8000 << keys("F5 Ctrl+Shift+F5") << 0x8000 << "";
}

void RunWindowTest::keys() {
    QFETCH(int, caret);
    QFETCH(QList<QKeySequence>, keys);
    QFETCH(int, pc);
    QFETCH(QString, marked);
    Opened run;
    QVERIFY(run.window);
    QCOMPARE(run.window->windowTitle(), "Run add-in - Test");
    run.caretAt(caret);
    run.keys(keys);
    QCOMPARE(run.pc(), pc);
    QPlainTextEdit* listing = run.window->listingView();
    const QList<QTextEdit::ExtraSelection> marks = listing->extraSelections();
    QCOMPARE(marks.size(), 1);
    const QString line = marks.first().cursor.block().text();
    QCOMPARE(line.mid(RunListing::kGutterWidth, 4).toInt(nullptr, 16), pc);
    QCOMPARE(line.at(1), RunListing::kNextMark);
    if (!marked.isEmpty()) {
        QCOMPARE(line, marked);
    }
    // The dump and the Code listing mark the same instruction.
    const auto& dumpMarks =
        run.h.window->dumpState().highlights().ranges(ByteHighlights::Kind::ProgramCounter);
    QCOMPARE(dumpMarks.size(), 1);
    QCOMPARE(dumpMarks.first().start, run.h.document().header().headSize + pc - 0x8000);
    const QList<QTextEdit::ExtraSelection> codeMarks =
        WindowHarness::shown<CodeListingWindow>()->textView()->extraSelections();
    QCOMPARE(codeMarks.size(), 1);
    QCOMPARE(codeMarks.first().cursor.block().text().left(4).toInt(nullptr, 16), pc);
    QCOMPARE(codeMarks.first().format.background(), marks.first().format.background());
}

// At a call the result field takes the keys, its text ready to be typed over; Enter answers
// and runs on.
void RunWindowTest::aCallIsAnsweredInItsField() {
    Opened run;
    run.keys({QKeySequence(Qt::Key_F5)});
    QLineEdit* result = run.window->resultField();
    QVERIFY(result->isEnabled());
    QCOMPARE(QApplication::focusWidget(), result);
    QCOMPARE(result->selectedText(), "$0000");
    QVERIFY(run.window->stopLabel()->text().startsWith("System call $002A DS_EVENT_MESSAGE_GET"));
    QTest::keyClicks(result, "7");
    QTest::keyClick(result, Qt::Key_Return);
    WindowHarness::settle();
    QVERIFY(!result->isEnabled());
    QVERIFY2(run.window->stopLabel()->text().startsWith("The add-in returned from its entry"),
             qPrintable(run.window->stopLabel()->text()));
    QVERIFY(run.window->memoryView()->toPlainText().startsWith(
        "C000  2A 00 00 00 00 00 00 00 00 00 00 00 00 00 07 00"));
}

void RunWindowTest::registersAreEditedInTheirFields() {
    Opened run;
    QLineEdit* pc = run.window->registersBox()->field(11);
    pc->setFocus();
    pc->selectAll();
    QTest::keyClicks(pc, "800b");
    QTest::keyClick(pc, Qt::Key_Return);
    WindowHarness::settle();
    QCOMPARE(run.pc(), 0x800B);
    QVERIFY(run.window->stopLabel()->text().startsWith("System call $0000"));
    QLineEdit* sp = run.window->registersBox()->field(10);
    sp->setFocus();
    sp->selectAll();
    QTest::keyClicks(sp, "xyz");
    QTest::keyClick(sp, Qt::Key_Return);
    WindowHarness::settle();
    QCOMPARE(sp->text(), "FFFE");
    QCOMPARE(run.window->noteLabel()->text(),
             "SP takes a hexadecimal value from 0 to FFFF; 'xyz' is none.");
}

// The Run window's keys, its own and those it shares with the main window, are each one
// command's; the main window's are as they were.
void RunWindowTest::noKeyIsTakenTwice() {
    Opened run;
    QHash<QKeySequence, QString> taken;
    QList<QAction*> actions = run.h.window->findChildren<QAction*>();
    actions += run.window->actions();
    for (QAction* action : std::as_const(actions)) {
        for (const QKeySequence& key : action->shortcuts()) {
            const QString other = taken.value(key);
            QVERIFY2(other.isEmpty() || other == action->objectName(),
                     qPrintable(key.toString() + ": " + other + ", " + action->objectName()));
            taken.insert(key, action->objectName());
        }
    }
    QCOMPARE(taken.value(QKeySequence(QStringLiteral("Ctrl+R"))), "mnuFileRun");
    QCOMPARE(run.h.window->action("mnuFileRun")->text(), "&Run add-in");
    // Nor is an Alt key: the menus', the captions' and the buttons'.
    QStringList texts;
    for (QAction* menu : run.window->findChild<QMenuBar*>()->actions()) {
        texts << menu->text();
    }
    for (QLabel* caption : run.window->findChildren<QLabel*>()) {
        texts << (caption->buddy() ? caption->text() : QString());
    }
    for (QAbstractButton* button : run.window->findChildren<QAbstractButton*>()) {
        texts << button->text();
    }
    QHash<QKeySequence, QString> alt;
    for (const QString& text : std::as_const(texts)) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        QVERIFY2(key.isEmpty() || !alt.contains(key), qPrintable(alt.value(key) + ", " + text));
        alt.insert(key, text);
    }
}

void RunWindowTest::closingEndsTheRun() {
    Opened run;
    run.keys({QKeySequence(Qt::Key_F11)});
    run.window->close();
    WindowHarness::settle();
    QVERIFY(run.h.window->dumpState()
                .highlights()
                .ranges(ByteHighlights::Kind::ProgramCounter)
                .isEmpty());
    run.h.command("mnuFileRun");
    QCOMPARE(WindowHarness::shown<RunWindow>()->registersBox()->field(11)->text(), "8000");
}

QTEST_MAIN(RunWindowTest)
#include "tst_runwindow.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The route every change takes: commands queued in order after the header's edits, the
// changes of one turn told once, and the commands that reach the document from the icon, the
// new add-in dialog and the listing's jumps.
#include "AddinDocument.h"
#include "ChangeTurn.h"
#include "CommandQueue.h"
#include "DumpState.h"
#include "IconCommands.h"
#include "JumpHistory.h"
#include "NewAddinCommands.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <QtTest>

class CommandRouteTest : public QObject {
    Q_OBJECT

private slots:
    void oneReportATurn_data();
    void oneReportATurn();
    void queueRunsInOrder();
    void iconAndNewAddin_data();
    void iconAndNewAddin();
    void jumpHistory_data();
    void jumpHistory();
};

void CommandRouteTest::oneReportATurn_data() {
    // Steps within one turn: "type OFFSET" (a byte typed), "open", "patch", "select OFFSET",
    // "strip", "mark OFFSET" (a label named). What the turn's one report says: "replaced",
    // "afresh", the bytes changed in place "START+LENGTH", "marks", the dump's changes "dump N"
    // (DumpState::Changes).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("reports");
    QTest::addColumn<QString>("report");
    QTest::newRow("nothing") << QStringList{} << 0 << "";
    QTest::newRow("two bytes typed: one report, their span")
        << QStringList{"type 300", "type 310"} << 1 << "300+11 dump 0";
    QTest::newRow("another file") << QStringList{"open"} << 1 << "replaced dump 7";
    QTest::newRow("a confirmed patch") << QStringList{"patch"} << 1 << "afresh 23+5 dump 7";
    QTest::newRow("the caret moved twice")
        << QStringList{"select 400", "select 500"} << 1 << "dump 6";
    QTest::newRow("the header stripped") << QStringList{"strip"} << 1 << "dump 7";
    QTest::newRow("a mark, undone") << QStringList{"mark 300", "undo"} << 1 << "marks dump 0";
}

void CommandRouteTest::oneReportATurn() {
    QFETCH(QStringList, steps);
    QFETCH(int, reports);
    QFETCH(QString, report);
    AddinDocument document;
    document.load(AddinImage(TestFiles::addin(), QStringLiteral("a.rex")));
    DumpState dump(document);
    const ChangeTurn turn(document, dump);
    QCoreApplication::processEvents();
    QStringList told;
    connect(&turn, &ChangeTurn::ended, this, [&](const ChangeTurn::Changes& changes) {
        QStringList parts;
        if (changes.replaced) {
            parts << QStringLiteral("replaced");
        }
        if (changes.afresh) {
            parts << QStringLiteral("afresh");
        }
        if (!changes.bytes.isEmpty()) {
            parts << QStringLiteral("%1+%2").arg(changes.bytes.start).arg(changes.bytes.length);
        }
        if (changes.marks) {
            parts << QStringLiteral("marks");
        }
        parts << QStringLiteral("dump %1").arg(int(changes.dump.toInt()));
        told << parts.join(QLatin1Char(' '));
    });
    for (const QString& step : steps) {
        const int offset = step.section(QLatin1Char(' '), 1).toInt();
        if (step.startsWith(QLatin1String("type"))) {
            document.replace(offset, "x", ByteEditCommand::Kind::Typing);
        } else if (step == QLatin1String("open")) {
            document.load(AddinImage(TestFiles::addin("Other"), QStringLiteral("b.rex")));
        } else if (step == QLatin1String("patch")) {
            document.patch(AddinDocument::Field::Name, QStringLiteral("Tick"));
        } else if (step.startsWith(QLatin1String("select"))) {
            dump.select(offset, 0);
        } else if (step.startsWith(QLatin1String("mark"))) {
            AddinMarks marks = document.marks();
            marks.setLabel(AddinMarks::addressOf(offset, document.codeStart()), "here");
            document.changeMarks(marks, QStringLiteral("Name label"));
        } else if (step == QLatin1String("undo")) {
            document.undoStack().undo();
        } else {
            dump.setStripHeader(true);
        }
    }
    QCOMPARE(told.size(), 0);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(told.size(), reports);
    QCOMPARE(told.value(0), report);
}

// Commands run later, in the order asked, after the header's edits; one asked while another
// runs (from inside its dialog's own loop, say) waits for it to end.
void CommandRouteTest::queueRunsInOrder() {
    CommandQueue queue;
    QStringList ran;
    queue.setEditsFinisher([&] { ran << QStringLiteral("edits"); });
    queue.request([&] {
        ran << QStringLiteral("first");
        queue.request([&] { ran << QStringLiteral("asked by first"); });
        QCoreApplication::processEvents();
        ran << QStringLiteral("first ends");
    });
    queue.requestAfterEdits([&] { ran << QStringLiteral("second"); });
    QVERIFY(ran.isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(ran, QStringList({"first", "first ends", "edits", "second", "asked by first"}));
}

void CommandRouteTest::iconAndNewAddin_data() {
    // "icon FILE ANSWER": Replace icon with the picture FILE, answering the patch question
    // ("ok", "cancel"); "new CODE": a new add-in from the code file CODE, answering "yes" to
    // discard changes when asked. What is said and asked, and what the document holds then.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("name"); // the add-in's name after the steps
    QTest::addColumn<bool>("iconReplaced");
    const QString patchQuestion = QStringLiteral("Patch the addin?");
    QTest::newRow("a picture, agreed")
        << QStringList{"icon icon.gif ok"} << QStringList{patchQuestion} << "Clock" << true;
    QTest::newRow("a picture, cancelled")
        << QStringList{"icon icon.gif cancel"} << QStringList{patchQuestion} << "Clock" << false;
    QTest::newRow("no picture: refused before asking")
        << QStringList{"icon code.bin ok"}
        << QStringList{"The file cannot be read as a picture (Unsupported image format). Nothing "
                       "was patched."}
        << "Clock" << false;
    QTest::newRow("a new add-in") << QStringList{"new code.bin"} << QStringList{} << "Made"
                                  << false;
    QTest::newRow("a new add-in over unsaved changes")
        << QStringList{"icon icon.gif ok", "new code.bin"}
        << QStringList{patchQuestion, "File is patched!\r\nDo you want to discard the changes?"}
        << "Made" << false;
    QTest::newRow("no code file") << QStringList{"new missing.bin"} << QStringList{} << "Clock"
                                  << false;
}

void CommandRouteTest::iconAndNewAddin() {
    QFETCH(QStringList, steps);
    QFETCH(QStringList, asked);
    QFETCH(QString, name);
    QFETCH(bool, iconReplaced);
    TestFiles files;
    const QByteArray icon = TestFiles::randomIcon(7);
    files.write(QStringLiteral("icon.gif"), TestFiles::gif(icon));
    files.write(QStringLiteral("code.bin"), QByteArray("\x3E\x42\xC9", 3));
    ScriptedPrompts prompts;
    AddinDocument document;
    document.load(AddinImage(TestFiles::addin(), files.path(QStringLiteral("clock.rex"))));
    IconCommands icons(prompts, document);
    NewAddinCommands newAddins(prompts, document);
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const QString path = files.path(words[1]);
        if (words[0] == QLatin1String("icon")) {
            prompts.answer(words[2] == QLatin1String("ok") ? Prompts::Answer::Ok
                                                           : Prompts::Answer::Cancel);
            QCOMPARE(icons.takesDrop(path), words[1].endsWith(QLatin1String(".gif")));
            icons.replaceFrom(path);
        } else {
            prompts.answer(Prompts::Answer::Yes);
            const NewAddinCommands::Outcome made =
                newAddins.create({path, QStringLiteral("Addin"), QStringLiteral("Made"), {}, {}});
            QCOMPARE(made.created, name == QLatin1String("Made"));
            if (made.created) {
                QCOMPARE(newAddins.suggestedPath(), files.path(QStringLiteral("code.rex")));
                QVERIFY(document.isPatched() && document.path().isEmpty());
            }
        }
    }
    QCOMPARE(prompts.texts(), asked);
    QCOMPARE(document.header().name->text().trimmed(), name);
    QCOMPARE(document.header().icon == icon, iconReplaced);
}

void CommandRouteTest::jumpHistory_data() {
    // "leave N" (a jump followed from N), "back N" and "forward N" (from N, to where it leads,
    // "-" for nowhere).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("canGoBack");
    QTest::addColumn<bool>("canGoForward");
    QTest::newRow("nothing yet") << QStringList{"back 5 -"} << false << false;
    QTest::newRow("back and forward again")
        << QStringList{"leave 1", "leave 2", "back 3 2", "back 2 1", "forward 1 2"} << true << true;
    QTest::newRow("a new jump forgets the way forward")
        << QStringList{"leave 1", "back 2 1", "leave 1", "forward 3 -"} << true << false;
}

void CommandRouteTest::jumpHistory() {
    QFETCH(QStringList, steps);
    QFETCH(bool, canGoBack);
    QFETCH(bool, canGoForward);
    JumpHistory history;
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const ByteRange at{words[1].toInt(), 1};
        if (words[0] == QLatin1String("leave")) {
            history.leave(at);
            continue;
        }
        const std::optional<ByteRange> to =
            words[0] == QLatin1String("back") ? history.back(at) : history.forward(at);
        QCOMPARE(to ? QString::number(to->start) : QStringLiteral("-"), words[2]);
    }
    QCOMPARE(history.canGoBack(), canGoBack);
    QCOMPARE(history.canGoForward(), canGoForward);
}

QTEST_GUILESS_MAIN(CommandRouteTest)
#include "tst_commandroute.moc"

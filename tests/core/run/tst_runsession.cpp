// SPDX-License-Identifier: GPL-3.0-or-later
// The Run window's model: commands and what they leave to show (the stop, the note, the marks
// in the listing and the dump), answers typed and the registers edited, the document followed,
// and answers saved and replayed through scripted dialogs.
#include "AddinDocument.h"
#include "AppTitle.h"
#include "ChangeTurn.h"
#include "CommandQueue.h"
#include "DumpState.h"
#include "DumpText.h"
#include "RunRegisters.h"
#include "RunSession.h"
#include "RunTexts.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "Z80Programs.h"

#include <QtTest>

#include <memory>

namespace {

using Command = RunSession::Command;

// A call of DS_EVENT_MESSAGE_GET with a text argument, its result stored at $F000, then $42:
//   8000 ld a,$12 / 8002 call L801F / 8005 ld hl,$002A / 8008 ld ($C000),hl / 800B ld hl,L8021
//   800E ld ($C004),hl / 8011 rst $10 / 8012 ld a,($C00E) / 8015 ld ($F000),a / 8018 ld hl,$0042
//   801B ld ($C000),hl / 801E rst $10 / L801F: 801F inc b / 8020 ret / L8021: "Hi!"
const QByteArray kSource = R"(
        org $8000
        ld a,$12
        call routine
        ld hl,$002A
        ld ($C000),hl
        ld hl,text
        ld ($C004),hl
        rst $10
        ld a,($C00E)
        ld ($F000),a
        ld hl,$0042
        ld ($C000),hl
        rst $10
routine: inc b
        ret
text:   defm "Hi!"
        defb 0
)";

struct Run {
    explicit Run(const QByteArray& image) {
        document.load(AddinImage(image, files.path(QStringLiteral("call.rex"))));
        settle();
        session =
            std::make_unique<RunSession>(RunSession::Parts{prompts, document, dump, turn, queue});
    }
    // Lets the turn end and the queued questions run.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }
    // Writes "8001 34" (hex bytes at a code address) as typed edits would; edits joined by
    // " + " are made in one turn.
    void edit(const QString& edits) {
        for (const QString& edit : edits.split(" + ")) {
            document.replace(document.header().headSize + edit.left(4).toInt(nullptr, 16) - 0x8000,
                             QByteArray::fromHex(edit.mid(5).toLatin1()),
                             ByteEditCommand::Kind::Typing);
        }
        settle();
    }
    // "►8005 ●801F": the listing's marked lines, by address.
    QString marks() const {
        QStringList marked;
        for (int line = 0; line < session->listing().lineCount(); ++line) {
            const QString text = session->listingLine(line);
            if (text.at(0) != ' ' || text.at(1) != ' ') {
                marked << text.left(2).trimmed() + text.mid(RunListing::kGutterWidth, 4);
            }
        }
        return marked.join(' ');
    }

    TestFiles files;
    ScriptedPrompts prompts;
    AddinDocument document;
    DumpState dump{document};
    ChangeTurn turn{document, dump};
    CommandQueue queue;
    std::unique_ptr<RunSession> session;
};

QByteArray program() {
    static const QByteArray kProgram = Z80Programs::addin(Z80Programs::assemble(kSource));
    return kProgram;
}

// Runs one step of a row: "into", "over", "out", "run", "back", "runback", "to 8018" (the line of
// that address), each forward command with the answer fields after it ("run 5 $F000=4142");
// "reg PC 8018", "flag C", "bp write F000", "toggle 801F", "unbp 0", "start".
void perform(RunSession& session, const QString& step) {
    static const QHash<QString, Command> kCommands{
        {"into", Command::StepInto}, {"over", Command::StepOver}, {"out", Command::StepOut},
        {"run", Command::Run},       {"back", Command::StepBack}, {"runback", Command::RunBack},
        {"to", Command::RunToLine}};
    const QStringList words = step.split(' ');
    const QString& verb = words.at(0);
    const QString argument = words.value(1);
    const auto lineOf = [&](const QString& address) {
        return session.listing().lineOf(quint16(address.toUInt(nullptr, 16))).value_or(-1);
    };
    if (verb == "reg") {
        session.editRegister(int(RunRegisters::names().indexOf(argument)), words.value(2));
    } else if (verb == "flag") {
        session.setFlag(Z80Registers::Carry, true);
    } else if (verb == "bp") {
        const QStringList kinds{"exec", "read", "write", "in", "out"};
        session.addBreakpoint(MachineBreakpoint::Kind(kinds.indexOf(argument)), words.value(2));
    } else if (verb == "toggle") {
        session.toggleBreakpointAt(lineOf(argument));
    } else if (verb == "unbp") {
        session.removeBreakpoint(argument.toInt());
    } else if (verb == "start") {
        session.start();
    } else if (verb == "to") {
        session.perform(Command::RunToLine, {}, argument == "nowhere" ? -1 : lineOf(argument));
    } else {
        session.perform(kCommands.value(verb), {argument, words.mid(2).join(' ')});
    }
}

} // namespace

class RunSessionTest : public QObject {
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void whatAnUpdateNames();
    void texts();
    void followsTheDocument_data();
    void followsTheDocument();
    void anotherFileEndsTheRun();
    void answersFiles_data();
    void answersFiles();
    void replayEndsAtTheBudget();
};

void RunSessionTest::commands_data() {
    // Steps, then where the run stands, its stop (how it starts), the note and the listing's
    // marks.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<int>("pc");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("marks");
    const auto row = [](const char* name, const char* steps, int pc, const QString& stop,
                        const QString& note = {}, const QString& marks = {}) {
        QTest::newRow(name) << QString(steps) << pc << stop << note
                            << (marks.isEmpty() ? QStringLiteral("►%1").arg(pc, 4, 16).toUpper()
                                                : marks);
    };
    row("ready", "start", 0x8000, "Ready to run from $8000.");
    row("a step moves the mark", "into / into", 0x801F, "Stepped to $801F.");
    row("over a call", "into / over", 0x8005, "Stepped over to $8005.");
    row("out of a routine", "into / into / out", 0x8005, "Stepped out to $8005.");
    row("a run to a call waits for its answer", "run", 0x8011,
        "System call $002A DS_EVENT_MESSAGE_GET, arguments $0000, $8021 \"Hi!\", $0000,");
    row("a step into a call shows the call", "to 800E / into", 0x8011, "System call $002A");
    row("the answer typed goes on", "run / run 5", 0x801E,
        "The add-in left through system call $0042");
    row("a step answers, and is the step", "run / into 5", 0x8012,
        "Answered the call; stepped to $8012.");
    row("an answer that is no number is refused", "run / run five", 0x8011, "System call $002A",
        "The result 'five' is not a number from 0 to 65535.");
    row("a fill that is none is refused", "run / over 1 F000", 0x8011, "System call $002A",
        "'F000' is not a fill: give the address, '=' and two hex digits a byte, as $F000=48690A.");
    row("stepping back to a call waits for its answer again", "run / into 1 / back", 0x8011,
        "Stepped back to $8011. System call $002A");
    row("running back to the start", "run / run 1 / runback", 0x8000,
        "Back at the start of the run, $8000: there is no earlier step.");
    row("running back to a breakpoint", "toggle 8005 / run / run / run 1 / runback", 0x8005,
        "Ran back to the breakpoint at $8005.", {}, "●►8005");
    row("back with nothing to take back", "back", 0x8000, "Back at the start of the run");
    row("to the caret's line", "to 8018", 0x8011, "System call $002A");
    row("to a line that is none", "to nowhere", 0x8000, "Ready",
        "The caret stands on no line of the listing to run to.");
    row("an execute breakpoint toggled at a line", "toggle 8008 / run", 0x8008,
        "Breakpoint at $8008.", {}, "●►8008");
    row("and toggled away", "toggle 8008 / toggle 8008 / to 8012", 0x8011, "System call");
    row("a breakpoint at a label", "bp exec L801F / run", 0x801F, "Breakpoint at $801F.", {},
        "●►801F");
    row("a memory breakpoint", "bp write $F000 / run / run 7", 0x8018,
        "The instruction at $8015 wrote $07 to $F000: a memory-write breakpoint.");
    row("an address that is none", "bp read F0000", 0x8000, "Ready",
        "'F0000' is neither an address of up to four hexadecimal digits nor the name of a label: "
        "no breakpoint was set.");
    row("a breakpoint taken away", "bp exec 8005 / unbp 0 / run", 0x8011, "System call");
    row("a register edited", "reg PC $8018", 0x8018, "PC set to 8018; the run stands at $8018.");
    row("onto a call", "reg PC 8011", 0x8011, "System call $0000 DS_TIME_GET");
    row("a register value that is none", "reg SP 10000", 0x8000, "Ready",
        "SP takes a hexadecimal value from 0 to FFFF; '10000' is none.");
    row("IM takes 0 to 2", "reg IM 3", 0x8000, "Ready",
        "IM takes a hexadecimal value from 0 to 2; '3' is none.");
    row("a flag", "flag C", 0x8000, "AF set to 0001; the run stands at $8000.");
    row("an edit is stepped back too", "reg PC 8018 / back", 0x8000, "Stepped back to $8000.");
    row("started again, breakpoints kept", "toggle 8005 / run / start", 0x8000, "Ready", {},
        "►8000 ●8005");
}

void RunSessionTest::commands() {
    QFETCH(QString, steps);
    QFETCH(int, pc);
    QFETCH(QString, stop);
    QFETCH(QString, note);
    QFETCH(QString, marks);
    Run run(program());
    run.dump.setTopLine(run.dump.lastTopLine());
    for (const QString& step : steps.split(" / ")) {
        perform(*run.session, step);
    }
    const RunSession& session = *run.session;
    QCOMPARE(session.machine().registers().pc, pc);
    QVERIFY2(session.stop().text.startsWith(stop), qPrintable(session.stop().text));
    QCOMPARE(session.note(), note);
    QCOMPARE(run.marks(), marks);
    // The dump marks the next instruction's bytes.
    const int offset = run.document.header().headSize + pc - 0x8000;
    const QList<ByteRange> marked =
        run.dump.highlights().ranges(ByteHighlights::Kind::ProgramCounter);
    QCOMPARE(marked.size(), 1);
    QCOMPARE(marked.first().start, offset);
    // ... and scrolls to them.
    const int line = (offset - run.dump.dumpStart()) / DumpText::kBytesPerLine + 1;
    QVERIFY(line >= run.dump.topLine() && line < run.dump.topLine() + DumpText::kLinesInView);
    QVERIFY(session.nextInstruction().startsWith(QStringLiteral("%1  ").arg(pc, 4, 16).toUpper()));
}

// An update names the lines whose marks moved and the memory rows whose bytes changed.
void RunSessionTest::whatAnUpdateNames() {
    Run run(program());
    QSignalSpy updates(run.session.get(), &RunSession::updated);
    const auto lineOf = [&](int address) {
        return *run.session->listing().lineOf(quint16(address));
    };
    run.session->perform(Command::Run);
    auto update = updates.takeLast().first().value<RunSession::Update>();
    QCOMPARE(update.lines, (QList{lineOf(0x8000), lineOf(0x8011)}));
    // $C000: the call's number and argument; the return address the call pushed.
    QCOMPARE(update.memoryRows, (QList{0, RunTexts::kMemoryRows - 1}));
    run.session->perform(Command::StepOver, {"$1234", "$FFFF=AB"});
    update = updates.takeLast().first().value<RunSession::Update>();
    QCOMPARE(update.memoryRows, (QList{0, RunTexts::kMemoryRows - 1}));
    QCOMPARE(run.session->machine().byteAt(0xC00E), quint8(0x34));
    QVERIFY(!update.relisted);
    run.session->start();
    QVERIFY(updates.takeLast().first().value<RunSession::Update>().relisted);
}

// The stack names return addresses by the call, the memory rows read as a dump, the counters.
void RunSessionTest::texts() {
    Run run(program());
    RunSession& session = *run.session;
    session.perform(Command::StepInto);
    session.perform(Command::StepInto);
    QCOMPARE(session.stackLines().mid(0, 2),
             (QStringList{"FFFC  8005  after call L801F", "FFFE  0000"}));
    session.perform(Command::Run, {});
    session.perform(Command::StepInto, {"$0102", {}});
    QCOMPARE(session.memoryRow(0), "C000  2A 00 00 00 21 80 00 00 00 00 00 00 00 00 02 01  "
                                   "*...!...........");
    QCOMPARE(session.countersText(), "9 instructions and 101 T-states run; the stack reached FFFC; "
                                     "1 answer given.");
    QCOMPARE(session.suggestedAnswer(), (RunSession::Answer{"$0102", {}}));
    session.addBreakpoint(MachineBreakpoint::Kind::PortOut, "12");
    session.addBreakpoint(MachineBreakpoint::Kind::Execute, "801F");
    QCOMPARE(session.breakpointLines(), (QStringList{"Port out 12", "Execute at 801F L801F"}));
    QCOMPARE(session.title(), "Run add-in - Test");
}

void RunSessionTest::followsTheDocument_data() {
    // Steps before the edits, the edits (see Run::edit; "name" for the name's first letter,
    // "other" for another add-in opened), a turn after each; the answers to questions; then the
    // questions asked, where the run stands and the note.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("pc");
    QTest::addColumn<bool>("newCode");
    QTest::newRow("a run nothing happened in starts again") << ""
                                                            << "8001 34"
                                                            << "" << 0 << 0x8000 << true;
    QTest::newRow("a run under way asks: Yes starts again") << "into"
                                                            << "8001 34"
                                                            << "yes" << 1 << 0x8000 << true;
    QTest::newRow("No goes on with the code it had, and is asked once")
        << "into"
        << "8001 34 / 8001 56"
        << "no" << 1 << 0x8002 << false;
    QTest::newRow("an edit taken back before the question asks nothing")
        << "into"
        << "8001 34 + 8001 12"
        << "" << 0 << 0x8002 << false;
    QTest::newRow("the header's own bytes leave the run") << "into"
                                                          << "name"
                                                          << "" << 0 << 0x8002 << false;
    QTest::newRow("a label named: the same run, listed by its name") << "into"
                                                                     << "label"
                                                                     << "" << 0 << 0x8002 << false;
    QTest::newRow("another add-in opened is run afresh") << "into"
                                                         << "other"
                                                         << "" << 0 << 0x8000 << true;
}

void RunSessionTest::followsTheDocument() {
    QFETCH(QString, before);
    QFETCH(QString, edit);
    QFETCH(QString, answers);
    QFETCH(int, questions);
    QFETCH(int, pc);
    QFETCH(bool, newCode);
    Run run(program());
    for (const QString& step : before.split(" / ", Qt::SkipEmptyParts)) {
        perform(*run.session, step);
    }
    for (const QString& answer : answers.split(' ', Qt::SkipEmptyParts)) {
        run.prompts.answer(answer == "yes" ? Prompts::Answer::Yes : Prompts::Answer::No);
    }
    for (const QString& step : edit.split(" / ")) {
        if (step == "name") {
            run.document.replace(run.document.header().name->start - 1, "N",
                                 ByteEditCommand::Kind::Typing);
            Run::settle();
        } else if (step == "label") {
            AddinMarks marks;
            marks.setLabel(0x8000, QStringLiteral("entry"));
            QVERIFY(run.document.changeMarks(marks, QStringLiteral("Name label")));
            Run::settle();
            QCOMPARE(run.session->listingLine(0).trimmed(), QStringLiteral("entry:"));
        } else if (step == "other") {
            run.document.load(
                AddinImage(Z80Programs::addin(QByteArray::fromHex("3E3476")), "b.rex"));
            Run::settle();
        } else {
            run.edit(step);
        }
    }
    QCOMPARE(run.prompts.messages.size(), questions);
    if (questions > 0) {
        QCOMPARE(run.prompts.messages.first(),
                 (Prompts::Message{"The add-in's code has changed since the run started. Start the "
                                   "run again from $8000 with the code as it is now?",
                                   appTitle(), Prompts::Icon::Question, Prompts::Buttons::YesNo,
                                   Prompts::Answer::Yes}));
    }
    QCOMPARE(run.session->machine().registers().pc, pc);
    QCOMPARE(run.session->machine().byteAt(0x8001) != 0x12, newCode);
    QCOMPARE(run.session->note().startsWith("The run goes on with the code as it was"),
             answers == "no");
}

// A file that is no add-in ends the run: its window closes.
void RunSessionTest::anotherFileEndsTheRun() {
    Run run(program());
    QSignalSpy ended(run.session.get(), &RunSession::anotherUnrunnable);
    run.document.load(AddinImage("no add-in", "text.rex"));
    Run::settle();
    QCOMPARE(ended.size(), 1);
}

void RunSessionTest::answersFiles_data() {
    // Steps, then "save" or "replay" with the file chosen ("" cancels the dialog); then the
    // file's text afterwards, where the run stands, the note and the first message.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("pc");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("message");
    const QByteArray header = "# Answers to system calls: CALL RESULT [ADDRESS=BYTES]..., see "
                              "mobrin-cli(1).\n";
    QTest::newRow("the answers given, as the answers file writes them")
        << "run / into 5 $F000=4142"
        << "save" << QByteArray("old")
        << header + "$002A $0005 $F000=4142  # DS_EVENT_MESSAGE_GET\n"
        << 0x8012 << ""
        << "";
    QTest::newRow("none to save") << "into"
                                  << "save" << QByteArray("old") << QByteArray("old") << 0x8002
                                  << "No system call has been answered in this run: there are "
                                     "no answers to save."
                                  << "";
    QTest::newRow("the dialog cancelled") << "run / into 5"
                                          << "save" << QByteArray() << QByteArray() << 0x8012 << ""
                                          << "";
    QTest::newRow("replayed to the end")
        << "into"
        << "replay" << QByteArray("$002A 7 # seven\n") << QByteArray("$002A 7 # seven\n") << 0x801E
        << "1 answer replayed from the file."
        << "";
    QTest::newRow("replayed to a call the file does not answer")
        << "into"
        << "replay" << QByteArray("# none\n") << QByteArray("# none\n") << 0x8011
        << "0 answers replayed from the file."
        << "";
    QTest::newRow("a file with a bad line replays nothing")
        << "into"
        << "replay" << QByteArray("$002A seven\n") << QByteArray("$002A seven\n") << 0x8002 << ""
        << "a.answers holds lines that are no answers, so nothing was replayed:\nline 1: the "
           "result 'seven' is not a number from 0 to 65535";
    QTest::newRow("a folder is no answers file")
        << "into"
        << "replay" << QByteArray("folder") << QByteArray("folder") << 0x8002 << ""
        << "a.answers cannot be read. Nothing was replayed.";
}

void RunSessionTest::answersFiles() {
    QFETCH(QString, steps);
    QFETCH(QString, command);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, after);
    QFETCH(int, pc);
    QFETCH(QString, note);
    QFETCH(QString, message);
    Run run(program());
    for (const QString& step : steps.split(" / ")) {
        perform(*run.session, step);
    }
    const QString path = run.files.path(QStringLiteral("a.answers"));
    if (file == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (!file.isNull()) {
        run.files.write(QStringLiteral("a.answers"), file);
    }
    run.prompts.choose(file.isNull() ? std::nullopt : std::optional(path));
    if (command == "save") {
        run.session->saveAnswers();
    } else {
        run.session->replayAnswers();
    }
    if (file != "folder") {
        QCOMPARE(TestFiles::read(path), after);
    }
    QCOMPARE(run.session->machine().registers().pc, pc);
    QCOMPARE(run.session->note(), note);
    QCOMPARE(run.prompts.messages.isEmpty()
                 ? QString()
                 : run.prompts.messages.first().text.left(message.size()),
             message);
    if (!run.prompts.requests.isEmpty()) {
        // Beside the add-in, under its name.
        QCOMPARE(run.prompts.requests.first().initialName, run.files.path("call.answers"));
    }
}

// A replay of an add-in that asks for events for ever ends at the run's budget.
void RunSessionTest::replayEndsAtTheBudget() {
    // ld b,100; djnz $; ld hl,$002A; ld ($C000),hl; rst $10; jr back to the start
    Run run(Z80Programs::addin(QByteArray::fromHex("0664 10FE 212A00 2200C0 D7 18F5")));
    run.prompts.choose(run.files.write(QStringLiteral("events.answers"), "$002A 0\n"));
    run.session->replayAnswers();
    QCOMPARE(run.session->stop().kind, MachineStop::Kind::Budget);
    QVERIFY(run.session->machine().counters().instructions <= AddinMachine::kDefaultBudget);
}

QTEST_GUILESS_MAIN(RunSessionTest)
#include "tst_runsession.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinDocument.h"
#include "AddinSource.h"
#include "CompareCommands.h"
#include "DumpState.h"
#include "FieldCommands.h"
#include "FindCommands.h"
#include "ScriptedPrompts.h"
#include "SourceCommands.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

// The document alone: what each command leaves in the image, the flag, the path, the parsed
// header and the file on disk, and which changes it announces; then what the dump shows of it,
// the name and description patch asked through scripted dialogs, and Find, Go to and Compare
// selecting through the dump's state.
class AddinDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void dumpState_data();
    void dumpState();
    void fieldPatch_data();
    void fieldPatch();
    void saveSource_data();
    void saveSource();
    void searchCommands_data();
    void searchCommands();
};

void AddinDocumentTest::commands_data() {
    // Steps: "load NAME" (a file written as clock.rex or other.rex holds), "name TEXT",
    // "description TEXT", "icon COUNT HEX" (COUNT bytes of value HEX), "save", "save as PATH"
    // (relative to the test folder, or absolute).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("patched");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("onDisk");       // the name the file at `path` holds, if any
    QTest::addColumn<QList<int>>("announced"); // replaced, patched, path changed
    QTest::addColumn<QByteArray>("icon");      // the icon the parsed header holds
    const QByteArray drawn = TestFiles::icon();
    const QByteArray black(AddinHeader::kIconBytes, char(0xFF));

    QTest::newRow("open") << QStringList{"load clock.rex"} << false << "Clock"
                          << "clock.rex"
                          << "Clock" << QList<int>{1, 0, 1} << drawn;
    QTest::newRow("patch") << QStringList{"load clock.rex", "name Time"} << true << "Time "
                           << "clock.rex"
                           << "Clock" << QList<int>{1, 1, 1} << drawn;
    QTest::newRow("patch the description")
        << QStringList{"load clock.rex", "description Ticks"} << true << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 1, 1} << drawn;
    QTest::newRow("failed patch: no Windows-1252 code")
        << QStringList{"load clock.rex", QStringLiteral("name \u23F0")} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 0, 1} << drawn;
    QTest::newRow("failed patch: longer than the field")
        << QStringList{"load clock.rex", "name Stopwatch"} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 0, 1} << drawn;
    QTest::newRow("failed patch: a data file has no name")
        << QStringList{"load data.DS2", "name Time"} << false << ""
        << "data.DS2"
        << "" << QList<int>{1, 0, 1} << QByteArray();
    QTest::newRow("open after a patch")
        << QStringList{"load clock.rex", "name Time", "load other.rex"} << false << "Other"
        << "other.rex"
        << "Other" << QList<int>{2, 1, 2} << drawn;
    QTest::newRow("the same file again after a patch")
        << QStringList{"load clock.rex", "name Time", "load clock.rex"} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{2, 1, 1} << drawn;
    QTest::newRow("save") << QStringList{"load clock.rex", "name Time", "save"} << false << "Time "
                          << "clock.rex"
                          << "Time " << QList<int>{1, 1, 1} << drawn;
    QTest::newRow("save as") << QStringList{"load clock.rex", "name Time", "save as copy.rex"}
                             << false << "Time "
                             << "copy.rex"
                             << "Time " << QList<int>{1, 1, 2} << drawn;
    // /proc takes no new file: the new path stays for the next save, and so do the changes.
    QTest::newRow("failed save as")
        << QStringList{"load clock.rex", "name Time", "save as /proc/mobrin-document.rex"} << true
        << "Time "
        << "/proc/mobrin-document.rex"
        << "" << QList<int>{1, 1, 2} << drawn;
    QTest::newRow("patch the icon")
        << QStringList{"load clock.rex", "icon 160 ff"} << true << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 1, 1} << black;
    QTest::newRow("failed icon patch: not 160 bytes")
        << QStringList{"load clock.rex", "icon 159 ff"} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 0, 1} << drawn;
    QTest::newRow("failed icon patch: a data file has no icon")
        << QStringList{"load data.DS2", "icon 160 ff"} << false << ""
        << "data.DS2"
        << "" << QList<int>{1, 0, 1} << QByteArray();
}

void AddinDocumentTest::commands() {
    QFETCH(QStringList, steps);
    QFETCH(bool, patched);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, onDisk);
    QFETCH(QList<int>, announced);
    QFETCH(QByteArray, icon);

    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    files.write(QStringLiteral("clock.rex"), clock);
    files.write(QStringLiteral("other.rex"), TestFiles::addin("Other", "Other text"));
    files.write(QStringLiteral("data.DS2"), TestFiles::addin("", "", 100, 8192, "DATA"));
    const auto inFolder = [&](const QString& name) {
        return name.startsWith(QLatin1Char('/')) ? name : files.path(name);
    };

    AddinDocument document;
    QSignalSpy replaced(&document, &AddinDocument::replaced);
    QSignalSpy patches(&document, &AddinDocument::patched);
    QSignalSpy pathChanges(&document, &AddinDocument::pathChanged);
    for (const QString& step : steps) {
        const QString argument = step.section(QLatin1Char(' '), 1);
        if (step.startsWith(QLatin1String("load "))) {
            document.load(AddinImage(TestFiles::read(files.path(argument)), files.path(argument)));
        } else if (step.startsWith(QLatin1String("name "))) {
            document.patch(AddinDocument::Field::Name, argument);
        } else if (step.startsWith(QLatin1String("description "))) {
            document.patch(AddinDocument::Field::Description, argument);
        } else if (step.startsWith(QLatin1String("icon "))) {
            document.patchIcon(
                QByteArray(step.section(QLatin1Char(' '), 1, 1).toInt(),
                           char(step.section(QLatin1Char(' '), 2).toInt(nullptr, 16))));
        } else if (step == QLatin1String("save")) {
            QVERIFY(document.save());
        } else if (step.startsWith(QLatin1String("save as "))) {
            document.saveAs(inFolder(step.section(QLatin1Char(' '), 2)));
        }
    }

    QCOMPARE(document.isPatched(), patched);
    QCOMPARE(document.header().name ? document.header().name->text() : QString(), name);
    QCOMPARE(document.path(), inFolder(path));
    // The parsed header always describes the image as it is now.
    QCOMPARE(document.header().headSize, AddinHeader::parse(document.image().bytes()).headSize);
    QCOMPARE(document.header().icon, icon);
    QCOMPARE(AddinHeader::parse(document.image().bytes()).icon, icon);
    const AddinHeader saved = AddinHeader::parse(TestFiles::read(document.path()));
    QCOMPARE(saved.name ? saved.name->text() : QString(), onDisk);
    QCOMPARE(TestFiles::read(files.path(QStringLiteral("clock.rex"))).size(), clock.size());
    QCOMPARE((QList<int>{int(replaced.size()), int(patches.size()), int(pathChanges.size())}),
             announced);
}

void AddinDocumentTest::dumpState_data() {
    // A request from outside (the listing, a command) gives file offsets; the leading pane's
    // reading gives characters of its text. Offsets below count from the dump's first byte.
    QTest::addColumn<bool>("strip");
    QTest::addColumn<bool>("fromPanes");
    QTest::addColumn<PaneSync::Pane>("leader");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("topChar");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<int>("position"); // the selection afterwards, from the dump's first byte
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("topLine");
    const auto hex = PaneSync::Pane::Hex;
    const auto ascii = PaneSync::Pane::Ascii;

    QTest::newRow("select from outside")
        << false << false << hex << 100 << 4 << 0 << true << 100 << 4 << 1;
    QTest::newRow("select from outside, header stripped")
        << true << false << hex << 100 << 4 << 0 << true << 100 << 4 << 1;
    QTest::newRow("a hidden header byte moves nothing")
        << true << false << hex << -5 << 1 << 0 << false << 0 << 0 << 1;
    QTest::newRow("cut at the end")
        << false << false << hex << 8190 << 10 << 0 << true << 8190 << 2 << 1;
    QTest::newRow("the caret after the last byte")
        << false << false << ascii << 8192 << 0 << 0 << true << 8192 << 0 << 1;
    QTest::newRow("past the end moves nothing")
        << false << false << hex << 8193 << 0 << 0 << false << 0 << 0 << 1;
    QTest::newRow("hex pane leads: part of a byte is the whole byte")
        << false << true << hex << 30 << 7 << 144 << true << 10 << 3 << 4;
    QTest::newRow("ASCII pane leads, header stripped")
        << true << true << ascii << 20 << 5 << 32 << true << 20 << 5 << 3;
}

void AddinDocumentTest::dumpState() {
    QFETCH(bool, strip);
    QFETCH(bool, fromPanes);
    QFETCH(PaneSync::Pane, leader);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, topChar);
    QFETCH(bool, taken);
    QFETCH(int, position);
    QFETCH(int, selected);
    QFETCH(int, topLine);

    AddinDocument document;
    DumpState state(document);
    QSignalSpy changes(&state, &DumpState::changed);
    QSignalSpy requests(&state, &DumpState::selectRequested);
    document.load(AddinImage(TestFiles::addin(), QStringLiteral("a.rex")));
    state.setStripHeader(strip);
    const int first = strip ? document.header().headSize : 0;
    QCOMPARE(state.dumpStart(), first);
    QCOMPARE(state.shownBytes().size(), 8192 - first);
    // Whatever was shown before, the dump starts again at its first byte.
    QCOMPARE(state.selection(), (DumpState::Selection{first, 0}));
    QVERIFY(changes.last().first().value<DumpState::Changes>() & DumpState::Change::Content);

    state.setLeader(leader);
    QCOMPARE(state.leader(), leader);
    changes.clear();
    if (fromPanes) {
        PaneSync::Reading reading;
        reading.leader = leader;
        reading.selStart = start;
        reading.selLength = length;
        reading.leaderTopChar = topChar;
        state.followPanes(reading);
    } else {
        QCOMPARE(state.select(first + start, length), taken);
    }
    QCOMPARE(state.selection(), (DumpState::Selection{first + position, selected}));
    QCOMPARE(state.dumpPosition(), position);
    QCOMPARE(state.topLine(), topLine);
    QCOMPARE(changes.isEmpty(), position == 0 && selected == 0 && topLine == 1);
    // Only a request from outside makes the panes select and scroll.
    QCOMPARE(requests.size(), taken && !fromPanes ? 1 : 0);
}

void AddinDocumentTest::fieldPatch_data() {
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<bool>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Prompts::Answer>("answer");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("nameAfter");
    QTest::addColumn<QString>("descriptionAfter");
    const QByteArray clock = TestFiles::addin();
    const QString patch = QStringLiteral("Patch the addin?");

    QTest::newRow("OK writes the name")
        << clock << true << "Time" << Prompts::Answer::Ok << QStringList{patch} << "Time "
        << "Shows time";
    QTest::newRow("Cancel writes nothing")
        << clock << true << "Time" << Prompts::Answer::Cancel << QStringList{patch} << "Clock"
        << "Shows time";
    QTest::newRow("the description")
        << clock << false << "Ticks" << Prompts::Answer::Ok << QStringList{patch} << "Clock"
        << "Ticks     ";
    QTest::newRow("no Windows-1252 code")
        << clock << false << QStringLiteral("\u23F0") << Prompts::Answer::Ok
        << QStringList{patch, QStringLiteral("The character \"\u23F0\" (U+23F0) cannot be stored "
                                             "in an add-in header: it has no Windows-1252 code. "
                                             "Nothing was patched.")}
        << "Clock"
        << "Shows time";
    QTest::newRow("longer than the field")
        << clock << true << "Stopwatch" << Prompts::Answer::Ok
        << QStringList{patch, "The new name has 9 characters, but its field holds 5. Nothing "
                              "was patched."}
        << "Clock"
        << "Shows time";
    QTest::newRow("nothing read: nothing asked")
        << QByteArray(8192, 'x') << true << "Time" << Prompts::Answer::Ok << QStringList{} << ""
        << "";
}

void AddinDocumentTest::fieldPatch() {
    QFETCH(QByteArray, image);
    QFETCH(bool, name);
    QFETCH(QString, text);
    QFETCH(Prompts::Answer, answer);
    QFETCH(QStringList, asked);
    QFETCH(QString, nameAfter);
    QFETCH(QString, descriptionAfter);

    AddinDocument document;
    document.load(AddinImage(image, QStringLiteral("a.rex")));
    ScriptedPrompts prompts;
    prompts.answer(answer);
    FieldCommands fields(prompts, document);
    const bool written =
        fields.patch(name ? AddinDocument::Field::Name : AddinDocument::Field::Description, text);

    QCOMPARE(prompts.texts(), asked);
    QCOMPARE(written, document.isPatched());
    const AddinHeader& header = document.header();
    QCOMPARE(header.name ? header.name->text() : QString(), nameAfter);
    QCOMPARE(header.description ? header.description->text() : QString(), descriptionAfter);
}

void AddinDocumentTest::saveSource_data() {
    QTest::addColumn<QString>("chosen"); // relative to the test folder; empty: cancelled
    QTest::addColumn<bool>("written");
    QTest::addColumn<QStringList>("told");
    QTest::newRow("beside the add-in") << "clock.asm" << true << QStringList{};
    QTest::newRow("cancelled") << "" << false << QStringList{};
    QTest::newRow("over the add-in itself")
        << "clock.rex" << false
        << QStringList{"The source cannot be written over the add-in itself!"};
    QTest::newRow("where no file can be made")
        << "/proc/clock.asm" << false
        << QStringList{"Error saving the file!\r\nNo such file or directory"};
}

void AddinDocumentTest::saveSource() {
    QFETCH(QString, chosen);
    QFETCH(bool, written);
    QFETCH(QStringList, told);

    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    const QString path = files.write(QStringLiteral("clock.rex"), clock);
    AddinDocument document;
    document.load(AddinImage(clock, path));
    ScriptedPrompts prompts;
    const QString target = chosen.startsWith(QLatin1Char('/')) ? chosen : files.path(chosen);
    prompts.choose(chosen.isEmpty() ? std::nullopt : std::optional(target));
    SourceCommands sources(prompts, document);

    QCOMPARE(sources.saveSource(), written);
    QCOMPARE(prompts.requests.first().initialName, files.path(QStringLiteral("clock.asm")));
    QCOMPARE(prompts.texts(), told);
    QCOMPARE(TestFiles::read(path), clock);
    if (written) {
        QCOMPARE(TestFiles::read(target), AddinSource::of(clock));
    }
}

void AddinDocumentTest::searchCommands_data() {
    // Steps: "strip", "select START LENGTH", "load NAME", "patch NAME", "next|previous
    // text|case|bytes PATTERN" (case: text with "Match case"), "goto TEXT", "compare NAME"
    // ("compare" alone: the dialog is cancelled), "F7", "shift+F7". The files: clock.rex (the
    // image first loaded), timer.rex (another name), longer.rex (a description one byte
    // longer), cut.rex (clock.rex cut inside its header, so no add-in) and long.bin (9001
    // bytes). TestFiles::addin(): the name at 23, the header 205 bytes, then
    // the code 00 01 02 ... 63, then FF bytes.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<ByteRange>("selection"); // afterwards
    QTest::addColumn<QString>("said");        // by the last step: refusal, note or summary
    QTest::addColumn<bool>("comparing");
    QTest::addColumn<QStringList>("asked");
    const QString wrapped = QStringLiteral("Passed the end; continued from the start.");

    QTest::newRow("text in any case: the name")
        << QStringList{"next text clock"} << ByteRange{23, 5} << "" << false << QStringList{};
    QTest::newRow("match case: not found, nothing moves")
        << QStringList{"select 10 2", "next case clock"} << ByteRange{10, 2} << "not found" << false
        << QStringList{};
    QTest::newRow("the only hit again: from after the selection, wrapping")
        << QStringList{"next bytes 06 ?? 08", "next bytes 06 ?? 08"} << ByteRange{211, 3} << wrapped
        << false << QStringList{};
    QTest::newRow("previous from the first byte wraps to the end")
        << QStringList{"previous bytes FF FF"} << ByteRange{8190, 2}
        << "Passed the start; continued from the end." << false << QStringList{};
    QTest::newRow("a stripped header is not searched")
        << QStringList{"strip", "next text clock"} << ByteRange{205, 0} << "not found" << false
        << QStringList{};
    QTest::newRow("an ill-formed pattern: refused, nothing moves")
        << QStringList{"select 30 1", "next bytes CD 9"} << ByteRange{30, 1}
        << "\"9\" has an odd number of digits: write each byte as two digits, like 0C." << false
        << QStringList{};
    QTest::newRow("go to a file offset")
        << QStringList{"goto $1F0"} << ByteRange{496, 1} << "" << false << QStringList{};
    QTest::newRow("go to a stripped header byte: refused, nothing moves")
        << QStringList{"strip", "goto 16"} << ByteRange{205, 0}
        << "Offset 16 lies in the header, which \"Strip header\" hides." << false << QStringList{};
    QTest::newRow("F7 twice: the name, then the name again, wrapped")
        << QStringList{"compare timer.rex", "F7", "F7"} << ByteRange{23, 5} << wrapped << true
        << QStringList{};
    QTest::newRow("shift+F7 from the end")
        << QStringList{"compare timer.rex", "select 8192 0", "shift+F7"} << ByteRange{23, 5} << ""
        << true << QStringList{};
    QTest::newRow("a patch compares again: nothing differs")
        << QStringList{"compare timer.rex", "patch Timer", "F7"} << ByteRange{0, 0}
        << "No differing bytes to step to." << true << QStringList{};
    QTest::newRow("a stripped header's differences are not stepped to")
        << QStringList{"compare timer.rex", "strip", "F7"} << ByteRange{205, 0}
        << "No differing bytes to step to." << true << QStringList{};
    QTest::newRow("opening another file ends the comparison")
        << QStringList{"compare timer.rex", "load timer.rex", "F7"} << ByteRange{0, 0}
        << "No differing bytes to step to." << false << QStringList{};
    QTest::newRow("no add-in: by position over the common part, and a note")
        << QStringList{"compare cut.rex"} << ByteRange{0, 0}
        << "No byte differs. This file has 8192 bytes and the other file 150: only the first "
           "150 bytes are compared."
        << true << QStringList{};
    QTest::newRow("by structure: a longer description moves nothing")
        << QStringList{"compare longer.rex"} << ByteRange{0, 0}
        << "2 places differ in this file, 1 in the header and 1 after it; F7 and Shift+F7 step "
           "to them. After the header come 7987 bytes here and 7986 in the other file, compared "
           "from the first code byte on."
        << true << QStringList{};
    QTest::newRow("F7 twice: the description, then this file's last byte")
        << QStringList{"compare longer.rex", "F7", "F7"} << ByteRange{8191, 1} << "" << true
        << QStringList{};
    QTest::newRow("a file too long is refused; the comparison before stays")
        << QStringList{"compare timer.rex", "compare long.bin"} << ByteRange{0, 0}
        << "1 place differs in this file, 1 in the header and 0 after it; F7 and Shift+F7 step "
           "to them."
        << true
        << QStringList{"The file to compare with has more than 9000 bytes, so it is no add-in. "
                       "Nothing was compared."};
    const QString unread =
        QStringLiteral("The file to compare with cannot be read. Nothing was compared.\r\n");
    QTest::newRow("a FIFO is refused with the reason")
        << QStringList{"compare fifo"} << ByteRange{0, 0} << "" << false
        << QStringList{unread + "Not a regular file"};
    QTest::newRow("a missing file is refused with the system's reason")
        << QStringList{"compare gone.rex"} << ByteRange{0, 0} << "" << false
        << QStringList{unread + "No such file or directory"};
    QTest::newRow("the dialog cancelled: nothing compared")
        << QStringList{"compare"} << ByteRange{0, 0} << "" << false << QStringList{};
}

void AddinDocumentTest::searchCommands() {
    QFETCH(QStringList, steps);
    QFETCH(ByteRange, selection);
    QFETCH(QString, said);
    QFETCH(bool, comparing);
    QFETCH(QStringList, asked);

    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    files.write(QStringLiteral("clock.rex"), clock);
    files.write(QStringLiteral("timer.rex"), TestFiles::addin("Timer"));
    files.write(QStringLiteral("longer.rex"), TestFiles::addin("Clock", "Shows times"));
    files.write(QStringLiteral("cut.rex"), clock.left(150));
    files.write(QStringLiteral("long.bin"), QByteArray(9001, 'x'));
    QCOMPARE(::mkfifo(QFile::encodeName(files.path(QStringLiteral("fifo"))).constData(), 0600), 0);
    AddinDocument document;
    DumpState dump(document);
    ScriptedPrompts prompts;
    FindCommands finds(document, dump);
    CompareCommands compare(prompts, document, dump);
    const auto load = [&](const QString& name) {
        document.load(AddinImage(TestFiles::read(files.path(name)), files.path(name)));
    };
    load(QStringLiteral("clock.rex"));
    QString last;
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const QString rest = step.section(QLatin1Char(' '), 2);
        const auto direction =
            words[0] == QLatin1String("previous") || words[0] == QLatin1String("shift+F7")
                ? RangeStep::Direction::Backward
                : RangeStep::Direction::Forward;
        if (words[0] == QLatin1String("strip")) {
            dump.setStripHeader(true);
        } else if (words[0] == QLatin1String("select")) {
            dump.select(words[1].toInt(), words[2].toInt());
        } else if (words[0] == QLatin1String("load")) {
            load(words[1]);
        } else if (words[0] == QLatin1String("patch")) {
            document.patch(AddinDocument::Field::Name, words[1]);
        } else if (words[0] == QLatin1String("goto")) {
            last = finds.goTo(words[1]).refusal;
        } else if (words[0] == QLatin1String("compare")) {
            prompts.choose(words.size() > 1 ? std::optional(files.path(words[1])) : std::nullopt);
            compare.compareWithChosen();
            last = compare.summary().mid(1).join(QLatin1Char(' '));
        } else if (words[0].endsWith(QLatin1String("F7"))) {
            last = compare.step(direction);
        } else {
            const auto mode = words[1] == QLatin1String("bytes") ? BytePattern::Mode::Bytes
                                                                 : BytePattern::Mode::Text;
            const FindCommands::Outcome outcome =
                finds.find({rest, mode, words[1] == QLatin1String("case")}, direction);
            last = outcome.refusal.isEmpty() ? outcome.note : outcome.refusal;
        }
    }
    QCOMPARE(dump.selection(), selection);
    QCOMPARE(last, said);
    QCOMPARE(compare.isComparing(), comparing);
    QCOMPARE(prompts.texts(), asked);
    QVERIFY(prompts.scriptUsedUp());
}

QTEST_GUILESS_MAIN(AddinDocumentTest)
#include "tst_addindocument.moc"

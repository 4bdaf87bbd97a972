// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinDocument.h"
#include "AddinSource.h"
#include "ByteReadout.h"
#include "ChangeTurn.h"
#include "CompareCommands.h"
#include "DumpState.h"
#include "EditCommands.h"
#include "FieldCommands.h"
#include "FileChoice.h"
#include "FileCommands.h"
#include "FindCommands.h"
#include "MarkCommands.h"
#include "NumberForm.h"
#include "ScriptedPrompts.h"
#include "SourceCommands.h"
#include "TestFiles.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

// The document alone: what each command leaves in the image, the flag, the path, the parsed
// header and the file on disk, and which changes it announces; then what the dump shows of it,
// the name and description patch asked through scripted dialogs, the author's marks, and Find,
// Go to and Compare selecting through the dump's state.
namespace {

// A marks file's lines without its first line and its digests: "label $8004 start".
QStringList marksLines(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return {QStringLiteral("none")};
    }
    QStringList lines;
    for (const QString& line :
         QString::fromUtf8(TestFiles::read(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QStringList words = line.simplified().split(QLatin1Char(' '));
        if (!line.startsWith(QLatin1Char('#'))) {
            words.removeAt(words[2].startsWith(QLatin1Char('$')) ? 3 : 2);
            lines << words.join(QLatin1Char(' '));
        }
    }
    return lines;
}
// The highlights' kinds by the names the rows give them, in the order of ByteHighlights::Kind.
const QStringList kKindNames{"pc", "compare", "changed", "bookmarked", "marked"};

// "kind START+LENGTH, ...", as the panes paint them.
QString described(const QList<ByteHighlights::Mark>& marks) {
    QStringList words;
    for (const auto& [range, kind] : marks) {
        words << QStringLiteral("%1 %2+%3").arg(kKindNames.at(int(kind))).arg(range.start);
        words.last() = words.last().arg(range.length);
    }
    return words.join(QStringLiteral(", "));
}

} // namespace

class AddinDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void dumpState_data();
    void dumpState();
    void editsAgainstAModel_data();
    void editsAgainstAModel();
    void highlights_data();
    void highlights();
    void changedSinceSave_data();
    void changedSinceSave();
    void editCommands_data();
    void editCommands();
    void inspection_data();
    void inspection();
    void fieldPatch_data();
    void fieldPatch();
    void saveSource_data();
    void saveSource();
    void marks_data();
    void marks();
    void fileChoice_data();
    void fileChoice();
    void searchCommands_data();
    void searchCommands();
};

void AddinDocumentTest::commands_data() {
    // Steps: "load NAME" (a file written as clock.rex or other.rex holds), "name TEXT",
    // "description TEXT", "icon COUNT HEX" (COUNT bytes of value HEX), "undo", "redo", "save",
    // "save as PATH" (relative to the test folder, or absolute).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("patched");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("onDisk");       // the name the file at `path` holds, if any
    QTest::addColumn<QList<int>>("announced"); // replaced, changed in place, path changed
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
    // Taking a change back is a change too: closing still asks, until a save.
    QTest::newRow("undo a patch") << QStringList{"load clock.rex", "name Time", "undo"} << true
                                  << "Clock"
                                  << "clock.rex"
                                  << "Clock" << QList<int>{1, 2, 1} << drawn;
    QTest::newRow("undo and redo")
        << QStringList{"load clock.rex", "name Time", "undo", "redo"} << true << "Time "
        << "clock.rex"
        << "Clock" << QList<int>{1, 3, 1} << drawn;
    QTest::newRow("undo past a save, then save")
        << QStringList{"load clock.rex", "name Time", "save", "undo", "save"} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 2, 1} << drawn;
    QTest::newRow("open leaves nothing to undo")
        << QStringList{"load clock.rex", "icon 160 ff", "load clock.rex", "undo"} << false
        << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{2, 1, 1} << drawn;
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
    QSignalSpy patches(&document, &AddinDocument::changed);
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
        } else if (step == QLatin1String("undo")) {
            document.undoStack().undo();
        } else if (step == QLatin1String("redo")) {
            document.undoStack().redo();
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
    // Steps, in offsets from the dump's first byte: "select START LENGTH" (a request from the
    // listing or a command), "caret OFFSET NIBBLE", "extend OFFSET" (Shift and a key),
    // "drag ANCHOR CARET" (a drag in a pane), "top LINE" (the scroll bar).
    QTest::addColumn<bool>("strip");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("taken");   // the last step was taken
    QTest::addColumn<int>("position"); // the selection afterwards, from the dump's first byte
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("nibble");
    QTest::addColumn<int>("topLine");

    QTest::newRow("select from outside")
        << false << QStringList{"select 100 4"} << true << 100 << 4 << 104 << 0 << 1;
    QTest::newRow("select from outside, header stripped")
        << true << QStringList{"select 100 4"} << true << 100 << 4 << 104 << 0 << 1;
    QTest::newRow("a hidden header byte moves nothing")
        << true << QStringList{"select -5 1"} << false << 0 << 0 << 0 << 0 << 1;
    QTest::newRow("cut at the end")
        << false << QStringList{"select 8190 10"} << true << 8190 << 2 << 8192 << 0 << 498;
    QTest::newRow("the caret after the last byte")
        << false << QStringList{"select 8192 0"} << true << 8192 << 0 << 8192 << 0 << 498;
    QTest::newRow("past the end moves nothing")
        << false << QStringList{"select 8193 0"} << false << 0 << 0 << 0 << 0 << 1;
    QTest::newRow("a selection below comes into view")
        << false << QStringList{"select 4000 64"} << true << 4000 << 64 << 4064 << 0 << 240;
    QTest::newRow("a selection taller than the view shows its first line")
        << false << QStringList{"select 160 400"} << true << 160 << 400 << 560 << 0 << 11;
    QTest::newRow("the view follows the caret")
        << true << QStringList{"caret 300 1"} << true << 300 << 0 << 300 << 1 << 5;
    QTest::newRow("Shift selects from the caret")
        << false << QStringList{"caret 10 1", "extend 14"} << true << 10 << 4 << 14 << 0 << 1;
    QTest::newRow("and backwards")
        << false << QStringList{"caret 10 0", "extend 6"} << true << 6 << 4 << 6 << 0 << 1;
    QTest::newRow("a drag backwards keeps its first byte")
        << false << QStringList{"drag 21 18"} << true << 18 << 3 << 18 << 0 << 1;
    QTest::newRow("a drag forwards to a line's end keeps that line in view")
        << false << QStringList{"top 2", "drag 40 256"} << true << 40 << 216 << 256 << 0 << 2;
    QTest::newRow("no digit after the last byte")
        << false << QStringList{"caret 9000 1"} << true << 8192 << 0 << 8192 << 0 << 498;
    QTest::newRow("the scroll stays inside the dump")
        << false << QStringList{"top 600"} << true << 0 << 0 << 0 << 0 << 498;
    QTest::newRow("and above its first line")
        << true << QStringList{"top 9", "top -3"} << true << 0 << 0 << 0 << 0 << 1;
}

void AddinDocumentTest::dumpState() {
    QFETCH(bool, strip);
    QFETCH(QStringList, steps);
    QFETCH(bool, taken);
    QFETCH(int, position);
    QFETCH(int, selected);
    QFETCH(int, caret);
    QFETCH(int, nibble);
    QFETCH(int, topLine);

    AddinDocument document;
    DumpState state(document);
    QSignalSpy changes(&state, &DumpState::changed);
    document.load(AddinImage(TestFiles::addin(), QStringLiteral("a.rex")));
    state.setStripHeader(strip);
    const int first = strip ? document.header().headSize : 0;
    QCOMPARE(state.dumpStart(), first);
    QCOMPARE(state.shownBytes().size(), 8192 - first);
    // Whatever was shown before, the dump starts again at its first byte.
    QCOMPARE(state.selection(), (DumpState::Selection{first, 0}));
    QVERIFY(changes.last().first().value<DumpState::Changes>() & DumpState::Change::Content);

    changes.clear();
    bool took = true;
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const int a = words.value(1).toInt();
        const int b = words.value(2).toInt();
        if (words[0] == QLatin1String("select")) {
            took = state.select(first + a, b);
        } else if (words[0] == QLatin1String("caret")) {
            state.moveCaret(first + a, b, false);
        } else if (words[0] == QLatin1String("extend")) {
            state.moveCaret(first + a, 0, true);
        } else if (words[0] == QLatin1String("drag")) {
            state.setCaret(first + a, first + b);
        } else {
            state.setTopLine(a);
        }
    }
    QCOMPARE(took, taken);
    const int end = 8192 - first;
    QCOMPARE(state.selection(),
             (DumpState::Selection{first + qMin(position, end), qMin(selected, end)}));
    QCOMPARE(state.dumpPosition(), qMin(position, end));
    QCOMPARE(state.caret(), first + qMin(caret, end));
    QCOMPARE(state.nibble(), nibble);
    QCOMPARE(state.topLine(), qMin(topLine, state.lastTopLine()));
    QCOMPARE(changes.isEmpty(), !taken);
}

void AddinDocumentTest::editsAgainstAModel_data() {
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : {1U, 2U, 3U, 20261208U}) {
        QTest::addRow("seed %u", seed) << seed;
    }
}

// Random replaces, undos, redos and saves, checked at every step against a plain byte array
// with its own history: the image, the file, the changed flag and its signals, the runs that
// differ from the file. Replaces crowd and write back the file's bytes, so runs join and split.
void AddinDocumentTest::editsAgainstAModel() {
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    TestFiles files;
    const QByteArray original = TestFiles::addin();
    const QString path = files.write(QStringLiteral("a.rex"), original);
    AddinDocument document;
    document.load(AddinImage(original, path));
    QSignalSpy flags(&document, &AddinDocument::patchedChanged);
    int flips = 0;

    QList<QByteArray> history{original};
    qsizetype now = 0;
    QByteArray onDisk = original;
    bool changed = false;
    for (int step = 0; step < 400; ++step) {
        const bool wasChanged = changed;
        switch (random.bounded(5)) {
        case 0:
        case 1: {
            const int offset = int(random.bounded(2) ? random.bounded(original.size())
                                                     : 1000 + random.bounded(64));
            QByteArray bytes(int(random.bounded(1, 40)), '\0');
            for (int i = 0; i < bytes.size(); ++i) {
                const bool saved = offset + i < onDisk.size() && random.bounded(2);
                bytes[i] = saved ? onDisk[offset + i] : char(random.bounded(256));
            }
            const bool fits = offset + bytes.size() <= original.size();
            QCOMPARE(document.replace(offset, bytes, ByteEditCommand::Kind::Paste), fits);
            if (fits) {
                history.resize(now + 1);
                history.append(history[now]);
                history.last().replace(offset, bytes.size(), bytes);
                ++now;
                changed = true;
            }
            break;
        }
        case 2:
            document.undoStack().undo();
            changed = changed || now > 0;
            now = qMax<qsizetype>(0, now - 1);
            break;
        case 3:
            document.undoStack().redo();
            changed = changed || now + 1 < history.size();
            now = qMin(now + 1, history.size() - 1);
            break;
        default:
            QVERIFY(document.save());
            onDisk = history[now];
            changed = false;
        }
        QCOMPARE(document.image().bytes(), history[now]);
        QCOMPARE(document.isPatched(), changed);
        flips += changed != wasChanged ? 1 : 0;
        QCOMPARE(flags.size(), flips);
        QList<ByteRange> differing;
        for (int i = 0; i < original.size(); ++i) {
            const bool differs = history[now][i] != onDisk[i];
            if (differs && !differing.isEmpty() && differing.last().end() == i) {
                ++differing.last().length;
            } else if (differs) {
                differing.append({i, 1});
            }
        }
        QCOMPARE(document.changedRuns(), differing);
        QCOMPARE(document.image().bytes().size(), original.size());
    }
    QCOMPARE(TestFiles::read(path), onDisk);
}

void AddinDocumentTest::highlights_data() {
    // "pc|compare|changed START+LENGTH ... / ... = MARKS; told SPAN": each step sets that kind's
    // ranges; then the marks of the first two lines and what the last step told.
    QTest::addColumn<QString>("row");
    QTest::newRow("where both cover a byte, the comparison's")
        << "changed 10+10 / compare 14+2 = changed 10+4, compare 14+2, changed 16+4; told 14+2";
    QTest::newRow("the program counter over both")
        << "changed 10+10 / compare 12+6 / pc 16+3 = changed 10+2, compare 12+4, pc 16+3, "
           "changed 19+1; told 16+3";
    QTest::newRow("ranges that touch stay two")
        << "compare 4+2 6+2 = compare 4+2, compare 6+2; told 4+4";
    QTest::newRow("only the ranges that changed are told")
        << "compare 1+1 5+1 9+1 / compare 1+1 6+1 9+1 = compare 1+1, compare 6+1, compare 9+1; "
           "told 5+2";
    QTest::newRow("taken away") << "changed 3+2 / changed = ; told 3+2";
    QTest::newRow("the same again tells nothing")
        << "changed 3+2 / changed 3+2 = changed 3+2; told nothing";
}

void AddinDocumentTest::highlights() {
    QFETCH(QString, row);
    ByteHighlights layer;
    QSignalSpy told(&layer, &ByteHighlights::changed);
    for (const QString& step : row.section(" = ", 0, 0).split(" / ")) {
        QStringList words = step.split(' ');
        const auto kind = ByteHighlights::Kind(kKindNames.indexOf(words.takeFirst()));
        QList<ByteRange> ranges;
        for (const QString& word : words) {
            ranges.append({word.section('+', 0, 0).toInt(), word.section('+', 1).toInt()});
        }
        told.clear();
        layer.set(kind, ranges);
    }
    const auto span = told.isEmpty() ? ByteRange() : told.first().first().value<ByteRange>();
    QCOMPARE(described(layer.marksWithin({0, 32})) + QStringLiteral("; told ") +
                 (told.isEmpty() ? QStringLiteral("nothing")
                                 : QStringLiteral("%1+%2").arg(span.start).arg(span.length)),
             row.section(" = ", 1));
}

void AddinDocumentTest::changedSinceSave_data() {
    // Steps: "load" (clock.rex), "new" (a new add-in of the same bytes), "write OFFSET HEX",
    // "save as NAME"; then the dump's highlights and what patchedChanged told.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a new add-in highlights nothing")
        << QStringList{"new", "write 300 AB"} << "; told true";
    QTest::newRow("a new add-in saved as: its changes from then on")
        << QStringList{"new", "write 300 AB", "save as new.rex", "write 400 CD"}
        << "changed 400+1; told true false true";
    QTest::newRow("open takes the highlights away")
        << QStringList{"load", "write 300 AB", "load"} << "; told true false";
}

void AddinDocumentTest::changedSinceSave() {
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);
    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    AddinDocument document;
    DumpState dump(document);
    QSignalSpy told(&document, &AddinDocument::patchedChanged);
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        if (words[0] == QLatin1String("load")) {
            document.load(AddinImage(clock, files.write(QStringLiteral("clock.rex"), clock)));
        } else if (words[0] == QLatin1String("new")) {
            document.create(clock);
        } else if (words[0] == QLatin1String("write")) {
            document.replace(words[1].toInt(), QByteArray::fromHex(words[2].toLatin1()),
                             ByteEditCommand::Kind::Paste);
        } else {
            QVERIFY(document.saveAs(files.path(words[2])));
        }
    }
    QString said = described(dump.highlights().marksWithin({0, int(clock.size())})) + "; told";
    for (const QList<QVariant>& signal : told) {
        said += signal.first().toBool() ? " true" : " false";
    }
    QCOMPARE(said, shown);
}

void AddinDocumentTest::editCommands_data() {
    // Steps: "type hex|ascii TEXT" (TEXT one key at a time), "caret OFFSET", "select START
    // LENGTH", "paste hex|ascii TEXT", "fill VALUE" (typed in the question), "undo". Offsets
    // are file offsets of TestFiles::addin(), whose code starts at 205.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("at");
    QTest::addColumn<QByteArray>("bytes"); // what the image holds from `at`
    QTest::addColumn<QString>("note");     // the last step's refusal
    QTest::addColumn<QString>("undoText"); // the step Undo would take back
    QTest::addColumn<int>("caret");

    const QByteArray clock = TestFiles::addin();
    // The low digit a byte keeps when its high digit is typed over.
    const auto high = [&](int digit, int offset) {
        return char((digit << 4) | (clock[offset] & 0x0F));
    };
    QTest::newRow("hex digits, a byte each two")
        << QStringList{"caret 256", "type hex aB1"} << 256
        << QByteArray(1, char(0xAB)).append(high(1, 257)) << ""
        << "Typing" << 257;
    QTest::newRow("typing goes on in one step; one undo takes it all")
        << QStringList{"caret 256", "type hex 1234", "undo"} << 256 << clock.mid(256, 2) << ""
        << "" << 258;
    QTest::newRow("not a hex digit")
        << QStringList{"caret 256", "type hex 1g"} << 256 << QByteArray(1, high(1, 256))
        << QStringLiteral("Only hex digits, 0 to 9 and A to F, can be typed in the hex pane: "
                          "\u201Cg\u201D was not typed.")
        << "Typing" << 256;
    QTest::newRow("space, hyphen, underscore and the euro in the ASCII pane")
        << QStringList{"caret 300", QStringLiteral("type ascii  -_\u20AC")} << 300
        << QByteArray("\x20\x2D\x5F\x80") << ""
        << "Typing" << 304;
    QTest::newRow("a character Windows-1252 lacks")
        << QStringList{"caret 300", QStringLiteral("type ascii \u0436")} << 300 << clock.mid(300, 1)
        << QStringLiteral("\u201C\u0436\u201D has no code in Windows-1252: it was not typed.") << ""
        << 300;
    QTest::newRow("typing over a selection starts at its first byte")
        << QStringList{"select 400 8", "type hex F"} << 400 << QByteArray(1, high(0xF, 400)) << ""
        << "Typing" << 400;
    QTest::newRow("nothing to type over after the last byte")
        << QStringList{"caret 8192", "type hex 1"} << 8191 << QByteArray("\xFF")
        << QStringLiteral("The caret stands after the last byte: there is nothing to write over.")
        << "" << 8192;
    QTest::newRow("paste hex, spaces and line breaks between bytes")
        << QStringList{"caret 500", "paste hex 3A 00\n80 c9"} << 500
        << QByteArray("\x3A\x00\x80\xC9", 4) << ""
        << "Paste" << 504;
    QTest::newRow("paste text as Windows-1252")
        << QStringList{"caret 500", "paste ascii Hi-"} << 500 << QByteArray("Hi-") << ""
        << "Paste" << 503;
    QTest::newRow("paste past the end")
        << QStringList{"caret 8190", "paste hex 01 02 03"} << 8190 << QByteArray("\xFF\xFF")
        << QStringLiteral("3 bytes from the caret would run 1 byte past the end of the add-in; "
                          "nothing was written.")
        << "" << 8190;
    QTest::newRow("paste what is not hex")
        << QStringList{"caret 500", "paste hex 3A 0Z"} << 500 << clock.mid(500, 2)
        << QStringLiteral("The clipboard holds no hex bytes: \u201CZ\u201D is not a hex digit. "
                          "Nothing was pasted.")
        << "" << 500;
    QTest::newRow("paste half a byte")
        << QStringList{"caret 500", "paste hex ABC"} << 500 << clock.mid(500, 2)
        << QStringLiteral("The clipboard's 3 hex digits make no whole number of bytes. Nothing "
                          "was pasted.")
        << "" << 500;
    QTest::newRow("fill the selection")
        << QStringList{"select 600 3", "fill $5a"} << 600 << QByteArray("ZZZ") << ""
        << "Fill" << 603;
    QTest::newRow("fill with a value past a byte")
        << QStringList{"select 600 3", "fill 256"} << 600 << clock.mid(600, 3)
        << QStringLiteral("\u201C256\u201D is not a 8-bit value: type -128 to 255, or $0 to $FF. "
                          "Nothing was filled.")
        << "" << 603;
}

void AddinDocumentTest::editCommands() {
    QFETCH(QStringList, steps);
    QFETCH(int, at);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, note);
    QFETCH(QString, undoText);
    QFETCH(int, caret);

    ScriptedPrompts prompts;
    AddinDocument document;
    DumpState state(document);
    EditCommands edits(prompts, document, state);
    document.load(AddinImage(TestFiles::addin(), QStringLiteral("a.rex")));
    QString said;
    for (const QString& step : steps) {
        const QString verb = step.section(QLatin1Char(' '), 0, 0);
        const QString rest = step.section(QLatin1Char(' '), 1);
        const auto pane =
            rest.startsWith(QLatin1String("hex")) ? DumpState::Pane::Hex : DumpState::Pane::Ascii;
        const QString text = rest.section(QLatin1Char(' '), 1);
        if (verb == QLatin1String("caret")) {
            state.moveCaret(rest.toInt(), 0, false);
        } else if (verb == QLatin1String("select")) {
            state.select(rest.section(QLatin1Char(' '), 0, 0).toInt(), text.toInt());
        } else if (verb == QLatin1String("type")) {
            for (const QChar key : text) {
                said = edits.type(pane, key);
            }
        } else if (verb == QLatin1String("paste")) {
            said = edits.paste(pane, text);
            // Copied as hex and pasted back, the same bytes.
            if (said.isEmpty() && pane == DumpState::Pane::Hex) {
                state.select(at, int(bytes.size()));
                QCOMPARE(QByteArray::fromHex(edits.copyHex().toLatin1()), bytes);
                QCOMPARE(edits.paste(pane, edits.copyHex()), QString());
                QCOMPARE(document.undoStack().count(), 2);
            }
        } else if (verb == QLatin1String("fill")) {
            prompts.type(rest);
            said = edits.fill();
        } else if (verb == QLatin1String("undo")) {
            document.undoStack().undo();
        }
    }
    QCOMPARE(document.image().bytes().mid(at, bytes.size()), bytes);
    QCOMPARE(said, note);
    QCOMPARE(document.undoStack().undoText(), undoText);
    QCOMPARE(state.caret(), caret);
    QCOMPARE(document.image().bytes().size(), 8192);
}

void AddinDocumentTest::inspection_data() {
    // TestFiles::addin(): the name "Clock" at 23, word 1 at 41, the icon from 45, code from 205.
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("values"); // unsigned 8, signed 8, 16 little, 16 big
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("character"); // empty: not checked

    const QByteArray image = TestFiles::addin();
    const auto values = [&](int offset) {
        const auto at = [&](int i) { return quint8(image[offset + i]); };
        return QStringList{QString::number(at(0)), QString::number(qint8(at(0))),
                           QString::number(at(0) | (at(1) << 8)),
                           QString::number((at(0) << 8) | at(1))};
    };
    QTest::newRow("signature") << 0 << "signature" << values(0) << "none"
                               << "A";
    QTest::newRow("name") << 23 << "name" << values(23) << "none"
                          << "C";
    QTest::newRow("the end of the name line")
        << 28 << "end of the name line" << values(28) << "none"
        << "control code";
    QTest::newRow("a space") << 35 << "description" << values(35) << "none"
                             << "space";
    QTest::newRow("word 1") << 41 << "word 1" << values(41) << "none"
                            << "4";
    QTest::newRow("icon row 5") << 45 + 4 * 5 << "icon row 5" << values(65) << "none"
                                << "";
    QTest::newRow("the first code byte") << 205 << "code" << values(205) << "$8000"
                                         << "control code";
    QTest::newRow("the last byte: no 16-bit values")
        << 8191 << "code" << QStringList{"255", "-1", "", ""} << "$9F32"
        << "\u00FF";
}

void AddinDocumentTest::inspection() {
    QFETCH(int, offset);
    QFETCH(QString, field);
    QFETCH(QStringList, values);
    QFETCH(QString, address);
    QFETCH(QString, character);

    AddinDocument document;
    document.load(AddinImage(TestFiles::addin(), QStringLiteral("a.rex")));
    const ByteReadout byte = ByteReadout::at(document, offset, 0);
    QCOMPARE(byte.field, field);
    if (!character.isEmpty()) {
        QCOMPARE(byte.character, character);
    }
    const QList<ByteReadout::Value> kinds = {
        ByteReadout::Value::Unsigned8, ByteReadout::Value::Signed8, ByteReadout::Value::Little16,
        ByteReadout::Value::Big16};
    for (int i = 0; i < kinds.size(); ++i) {
        QCOMPARE(byte.valueText(kinds[i]), values[i]);
    }
    QCOMPARE(byte.codeAddress ? NumberForm::hexWord(*byte.codeAddress) : QStringLiteral("none"),
             address);
    QCOMPARE(byte.instruction.isEmpty(), !byte.codeAddress);
    // Each value typed back as it is shown gives the bytes it came from.
    for (int i = 0; i < kinds.size(); ++i) {
        if (!values[i].isEmpty()) {
            QCOMPARE(std::get<QByteArray>(ByteReadout::bytesFor(kinds[i], values[i])),
                     document.image().bytes().mid(offset, ByteReadout::width(kinds[i])));
        }
    }
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

void AddinDocumentTest::marks_data() {
    // Steps: "open NAME", "kind +START LENGTH KIND" (offsets from the first code byte, KIND "-"
    // for back to the analysis), "label +AT NAME", "ask label +AT NAME" (typed in the question),
    // "comment +AT TEXT", "bookmark +START LENGTH NOTE", "undo", "redo", "answer yes|no" (to
    // the next question), "save", "save as NAME". What was said and refused, the flag, and the
    // marks files beside clock.rex and copy.rex afterwards ("none" when there is none).
    QTest::addColumn<QByteArray>("beside"); // clock.rex.marks before; empty: none
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("said"); // messages and questions, then "refused: ..."
    QTest::addColumn<bool>("patched");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<QStringList>("clockMarks");
    QTest::addColumn<QStringList>("copyMarks");
    const QStringList none{"none"};
    const QString badLine = QStringLiteral(
        "The marks in clock.rex.marks were not read: line 1: the label \"1x\" must start with a "
        "letter or \"_\".\r\nThe file stays as it is: saving asks before it replaces it.");
    const QString replaceIt = QStringLiteral(
        "The marks in clock.rex.marks were not read: line 1: the label \"1x\" must start with a "
        "letter or \"_\".\r\nReplace that file with the marks made since? No saves the add-in "
        "and leaves the file as it is.");

    QTest::newRow("marked, named, commented, bookmarked: saved beside the add-in")
        << QByteArray() << QStringList{"open clock.rex",          "kind +0 4 text",
                                       "ask label +4 start_here", "comment +4 Hello ; world",
                                       "bookmark +0 8 The start", "save"}
        << QStringList{} << false << "Bookmark"
        << QStringList{"text $8000 $8004", "bookmark $8000 $8008 The start",
                       "label $8004 start_here", "comment $8004 Hello ; world"}
        << none;
    QTest::newRow("each mark a step to undo, and a change")
        << QByteArray()
        << QStringList{"open clock.rex", "label +4 lives", "comment +4 b", "save", "undo"}
        << QStringList{} << true << "Name label"
        << QStringList{"label $8004 lives", "comment $8004 b"} << none;
    QTest::newRow("the last mark gone: the file removed")
        << QByteArray("label $8004 - first\n") << QStringList{"open clock.rex", "label +4", "save"}
        << QStringList{} << false << "Remove label" << none << none;
    QTest::newRow("back to the analysis, undone and done again")
        << QByteArray("text $8000 $8010 -\n")
        << QStringList{"open clock.rex", "kind +4 4 -", "undo", "redo", "save"} << QStringList{}
        << false << "Back to the analysis" << QStringList{"text $8000 $8004", "text $8008 $8010"}
        << none;
    QTest::newRow("marks on changed bytes: told, kept as they were")
        << QByteArray("label $8004 00000000 x\nlabel $8008 - y\n")
        << QStringList{"open clock.rex", "save"}
        << QStringList{"1 mark in clock.rex.marks could not be placed: its bytes changed."} << false
        << "" << QStringList{"label $8004 x", "label $8008 y"} << none;
    QTest::newRow("a bad line: opened, told; the file kept when the user says no")
        << QByteArray("label $8004 - 1x\n")
        << QStringList{"open clock.rex", "label +8 y", "answer no", "save"}
        << QStringList{badLine, replaceIt} << true << "Name label" << QStringList{"label $8004 1x"}
        << none;
    QTest::newRow("a bad line: replaced when the user agrees")
        << QByteArray("label $8004 - 1x\n")
        << QStringList{"open clock.rex", "label +8 y", "answer yes", "save"}
        << QStringList{badLine, replaceIt} << false << "Name label" << QStringList{"label $8008 y"}
        << none;
    QTest::newRow("a bad line and no marks: saved without a question, the file left")
        << QByteArray("label $8004 - 1x\n") << QStringList{"open clock.rex", "save"}
        << QStringList{badLine} << false << "" << QStringList{"label $8004 1x"} << none;
    QTest::newRow("save as: the marks go beside the new name")
        << QByteArray("label $8004 - 1x\n")
        << QStringList{"open clock.rex", "label +4 copied", "save as copy.rex"}
        << QStringList{badLine} << false << "Name label" << QStringList{"label $8004 1x"}
        << QStringList{"label $8004 copied"};
    QTest::newRow("refused: names, places, texts")
        << QByteArray()
        << QStringList{"open clock.rex",          "label +4 ld",      "label +4 taken",
                       "label +8 taken",          "label +2 inside",  "label -1 head",
                       "comment +4 two\tcolumns", "kind +4 2 padding"}
        << QStringList{"refused: \"ld\" is a word of the assembler language: z80asm or pasmo "
                       "would not take it as a label.",
                       "refused: The name taken is the label at $8004 already.",
                       "refused: $8002 lies inside the instruction at $8001: a label goes on an "
                       "instruction's first byte.",
                       "refused: Only the code can be marked so: select bytes from $8000 on.",
                       "refused: A comment or note is one line: it cannot hold a line break, a "
                       "tab or another control character.",
                       "refused: Padding is the analysis's own kind: mark the bytes as bytes."}
        << true << "Name label" << none << none;
    QTest::newRow("a data file takes no marks")
        << QByteArray() << QStringList{"open data.DS2", "kind +0 4 text"}
        << QStringList{"refused: Marks need an add-in with a complete header."} << false << ""
        << none << none;
}

void AddinDocumentTest::marks() {
    QFETCH(QByteArray, beside);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, said);
    QFETCH(bool, patched);
    QFETCH(QString, undoText);
    QFETCH(QStringList, clockMarks);
    QFETCH(QStringList, copyMarks);
    TestFiles files;
    files.write(QStringLiteral("clock.rex"), TestFiles::addin());
    files.write(QStringLiteral("data.DS2"), TestFiles::addin("", "", 100, 8192, "DATA"));
    if (!beside.isEmpty()) {
        files.write(QStringLiteral("clock.rex.marks"), beside);
    }
    ScriptedPrompts prompts;
    AddinDocument document;
    FileCommands fileCommands(prompts, document);
    MarkCommands marks(prompts, document);
    QStringList refused;
    for (const QString& step : steps) {
        QStringList words = step.split(QLatin1Char(' '));
        const bool asked = words[0] == QLatin1String("ask");
        if (asked) {
            words.removeFirst();
        }
        const int at = document.codeStart() + words.value(1).toInt();
        const QString rest = words.mid(2).join(QLatin1Char(' '));
        QString refusal;
        if (words[0] == QLatin1String("open")) {
            fileCommands.openPath(files.path(words[1]));
        } else if (words[0] == QLatin1String("kind")) {
            const ByteRange range{at, words[2].toInt()};
            refusal = words[3] == QLatin1String("-")
                          ? marks.backToAnalysis(range)
                          : marks.setKind(range, *CodeKinds::parse(words[3]));
        } else if (words[0] == QLatin1String("label") && asked) {
            prompts.type(rest);
            refusal = marks.askLabel(at);
        } else if (words[0] == QLatin1String("label")) {
            refusal = marks.nameLabel(at, rest);
        } else if (words[0] == QLatin1String("comment")) {
            refusal = marks.comment(at, rest);
        } else if (words[0] == QLatin1String("bookmark")) {
            refusal = marks.addBookmark({at, words[2].toInt()}, words.mid(3).join(u' '));
        } else if (words[0] == QLatin1String("undo")) {
            document.undoStack().undo();
        } else if (words[0] == QLatin1String("redo")) {
            document.undoStack().redo();
        } else if (words[0] == QLatin1String("answer")) {
            prompts.answer(words[1] == QLatin1String("yes") ? Prompts::Answer::Yes
                                                            : Prompts::Answer::No);
        } else if (words[0] == QLatin1String("save")) {
            if (words.size() > 1) {
                prompts.choose(files.path(words[2]));
                QVERIFY(fileCommands.saveAs());
            } else {
                QVERIFY(fileCommands.save());
            }
        }
        if (!refusal.isEmpty()) {
            refused << QStringLiteral("refused: ") + refusal;
        }
    }
    QCOMPARE(prompts.texts() + refused, said);
    QVERIFY(prompts.scriptUsedUp());
    QCOMPARE(document.isPatched(), patched);
    QCOMPARE(document.undoStack().undoText(), undoText);
    QCOMPARE(marksLines(files.path(QStringLiteral("clock.rex.marks"))), clockMarks);
    QCOMPARE(marksLines(files.path(QStringLiteral("copy.rex.marks"))), copyMarks);
}

void AddinDocumentTest::fileChoice_data() {
    QTest::addColumn<QStringList>("answers"); // to each dialog: a path, "" or "-" (cancelled)
    QTest::addColumn<QStringList>("offered"); // the name each dialog offers
    QTest::newRow("the command's name first") << QStringList{"-"} << QStringList{"first.rex"};
    QTest::newRow("then the last chosen")
        << QStringList{"a.rex", "b.asm", "-"} << QStringList{"first.rex", "a.rex", "b.asm"};
    QTest::newRow("a cancel or an empty name keeps it")
        << QStringList{"a.rex", "-", "", "-"}
        << QStringList{"first.rex", "a.rex", "a.rex", "a.rex"};
}

// Open and save dialogs by turns, sharing what was chosen, as Open and Save As do.
void AddinDocumentTest::fileChoice() {
    QFETCH(QStringList, answers);
    QFETCH(QStringList, offered);
    ScriptedPrompts prompts;
    FileChoice choice(prompts);
    const std::vector<Prompts::FileFilter> filters{{"Text (*.txt)", {"*.txt"}}};
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const auto answer = answers[i] == "-" ? std::nullopt : std::optional(answers[i]);
        prompts.choose(answer);
        const bool open = i % 2 == 0;
        QCOMPARE(open ? choice.chooseToOpen("Pick", filters, "first.rex")
                      : choice.chooseToSave("Pick", filters, "first.rex"),
                 answer);
        const Prompts::FileRequest asked{open ? Prompts::FileRequest::Kind::Open
                                              : Prompts::FileRequest::Kind::Save,
                                         "Pick",
                                         offered[i],
                                         filters,
                                         open,
                                         !open};
        QCOMPARE(prompts.requests.at(i), asked);
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
    const ChangeTurn turn(document, dump);
    CompareCommands compare(prompts, document, dump, turn);
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
        // The comparison follows a patch once the turn is over.
        QCoreApplication::processEvents();
    }
    QCOMPARE(dump.selection(), selection);
    QCOMPARE(last, said);
    QCOMPARE(compare.isComparing(), comparing);
    QCOMPARE(dump.highlights().ranges(ByteHighlights::Kind::CompareDifference),
             comparing ? compare.comparison()->marks() : QList<ByteRange>());
    QCOMPARE(prompts.texts(), asked);
    QVERIFY(prompts.scriptUsedUp());
}

QTEST_GUILESS_MAIN(AddinDocumentTest)
#include "tst_addindocument.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The marks file and the marks it holds: read and written back in their order, bad lines
// refused by number, marks on changed bytes left out, the edits that keep them sound, and the
// label names both assemblers take.
#include "AddinHeader.h"
#include "AddinMarks.h"
#include "LabelName.h"
#include "MarksFile.h"
#include "TestFiles.h"

#include <QProcess>
#include <QtTest>

namespace {

// What a set of marks applies, as short texts: "text 121+13", "name 121 msg", "comment 121 Hi".
QStringList applied(const CodeMarks& marks) {
    QStringList texts;
    for (const CodeRange& range : marks.kinds) {
        texts << QStringLiteral("%1 %2+%3")
                     .arg(CodeKinds::name(range.kind))
                     .arg(range.start)
                     .arg(range.length());
    }
    for (auto it = marks.names.cbegin(); it != marks.names.cend(); ++it) {
        texts << QStringLiteral("name %1 %2").arg(it.key()).arg(it.value());
    }
    for (auto it = marks.comments.cbegin(); it != marks.comments.cend(); ++it) {
        texts << QStringLiteral("comment %1 %2").arg(it.key()).arg(it.value());
    }
    texts.sort();
    return texts;
}

// Whether z80asm and pasmo both assemble `source` at $8000 into `expected`.
bool bothAssemble(const QByteArray& source, const QByteArray& expected) {
    TestFiles files;
    const QString input = files.write(QStringLiteral("t.asm"), source);
    for (const auto& [program, arguments] :
         {std::pair(QStringLiteral("z80asm"), QStringList{"-o", files.path("z.bin"), input}),
          std::pair(QStringLiteral("pasmo"), QStringList{input, files.path("p.bin")})}) {
        QProcess process;
        process.start(program, arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0 ||
            process.exitStatus() != QProcess::NormalExit) {
            return false;
        }
    }
    return TestFiles::read(files.path("z.bin")) == expected &&
           TestFiles::read(files.path("p.bin")) == expected;
}

} // namespace

class MarksFileTest : public QObject {
    Q_OBJECT

private slots:
    void readAndWrite_data();
    void readAndWrite();
    void placement_data();
    void placement();
    void edits_data();
    void edits();
    void labelNames_data();
    void labelNames();
};

void MarksFileTest::readAndWrite_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("written"); // with no image to take digests from
    QTest::addColumn<QStringList>("problems");
    const QByteArray head = "# Mobrin marks, one a line: see mobrin(5).\n";

    QTest::newRow("every kind, put in the order of their addresses")
        << QByteArray("bookmark $9113 $913B - The messages\n"
                      "comment $9113 - Shown at a restart\n"
                      "label $9113 - msg_restart\n"
                      "text $9113 $9121 3F2A9C01\n"
                      "pointers $8010 $8014 -\nwords $800C $8010 -\nbytes $8008 $800C -\n"
                      "code $8000 $8008 -\n")
        << head + "code     $8000 $8008 -\n"
                  "bytes    $8008 $800C -\n"
                  "words    $800C $8010 -\n"
                  "pointers $8010 $8014 -\n"
                  "text     $9113 $9121 3f2a9c01\n"
                  "label    $9113 - msg_restart\n"
                  "comment  $9113 - Shown at a restart\n"
                  "bookmark $9113 $913B - The messages\n"
        << QStringList{};
    QTest::newRow("odd characters, taken as they are")
        << QByteArray("comment $8000 - ; \"quoted\" \\back\\slash #hash $FFFF \xC3\xA9 "
                      "\xE2\x98\x83   \n"
                      "label $8001 - _x9_\nlabel $8002 - L8002\n"
                      "bookmark $8000 $8001 -\n")
        << head + "comment  $8000 - ; \"quoted\" \\back\\slash #hash $FFFF \xC3\xA9 \xE2\x98\x83\n"
                  "bookmark $8000 $8001 -\n"
                  "label    $8001 - _x9_\n"
                  "label    $8002 - L8002\n"
        << QStringList{};
    QTest::newRow("comment lines kept with the mark after them; Mobrin's first line once")
        << head + "\n# the table\n\ttext\t$8000  $8004 -   \r\n# at the end\n"
        << head + "# the table\ntext     $8000 $8004 -\n# at the end\n"
        << QStringList{};
    QTest::newRow("no marks") << QByteArray("# nothing yet\n\n") << QByteArray() << QStringList{};
    QTest::newRow("bad lines, each by its number")
        << QByteArray("texts $8000 $8004 -\n"
                      "padding $8000 $8004 -\n"
                      "code $80G0 $8004 -\n"
                      "code $8004 $8000 -\n"
                      "code $8000 $8004\n"
                      "code $8000 $8004 12345\n"
                      "code $8000 $8004 - x\n"
                      "label $8000 - 1st\n"
                      "label $8000 - ld\n"
                      "label $8000 - L9113\n"
                      "label $8000 - a.b\n"
                      "label $8000 -\n"
                      "comment $8000 -\n"
                      "comment $8000 - a\tb\n"
                      "comment $8000 - \xFF\n")
        << QByteArray()
        << QStringList{
               "line 1: \"texts\" is no mark: a line starts with code, text, bytes, words, "
               "pointers, label, comment or bookmark",
               "line 2: \"padding\" is no mark: a line starts with code, text, bytes, words, "
               "pointers, label, comment or bookmark",
               "line 3: \"$80G0\" is no address: write it as $9113",
               "line 4: the range $8004 $8000 ends before it starts: the second address is the "
               "one after the range",
               "line 5: code takes a first address and the address after the range then a "
               "digest of its bytes",
               "line 6: \"12345\" is no digest: 8 hex digits, or - for any bytes",
               "line 7: a kind takes nothing after its digest",
               "line 8: the label \"1st\" must start with a letter or \"_\"",
               "line 9: \"ld\" is a word of the assembler language: z80asm or pasmo would not "
               "take it as a label",
               "line 10: \"L9113\" is the generated name of another address: choose a name of "
               "another form",
               "line 11: the label \"a.b\" holds \".\": a label holds only the letters A to Z, "
               "the digits and \"_\"",
               "line 12: the label needs a name after its digest",
               "line 13: the comment needs a text after its digest",
               "line 14: a comment or note is one line: it cannot hold a line break, a tab or "
               "another control character",
               "line 15: the line is not UTF-8 text"};
    QTest::newRow("marks that clash with a line before")
        << QByteArray("text $8000 $8010 -\nbytes $800F $8011 -\nlabel $8000 - start\n"
                      "label $8000 - begin\nlabel $8004 - start\ncomment $8000 - a\n"
                      "comment $8000 - b\nbookmark $8000 $8004 - x\nbookmark $8000 $8004 - y\n")
        << QByteArray()
        << QStringList{"line 2: overlaps the text range (line 1)",
                       "line 4: a second label at $8000 (line 3)",
                       "line 5: the name start is given at $8000 already (line 3)",
                       "line 7: a second comment at $8000 (line 6)",
                       "line 9: a second bookmark of the same range (line 8)"};
}

void MarksFileTest::readAndWrite() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, written);
    QFETCH(QStringList, problems);
    const MarksFile::Parsed parsed = MarksFile::parse(text);
    QStringList said;
    for (const MarksFile::Problem& problem : parsed.problems) {
        said << problem.sentence();
    }
    QCOMPARE(said, problems);
    if (problems.isEmpty()) {
        QCOMPARE(MarksFile::write(parsed.marks, {}, 0), written);
        // Written once, read again, written again: the same bytes.
        QCOMPARE(MarksFile::write(MarksFile::parse(written).marks, {}, 0), written);
    }
}

void MarksFileTest::placement_data() {
    // Marks made on TestFiles::addin() (code bytes 00, 01, 02, ... from $8000), then the add-in
    // changed: the byte at a code address set to FF, or the name made longer, which moves the
    // code but not its addresses.
    QTest::addColumn<int>("changedAddress"); // -1: none
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("unplaced");
    QTest::addColumn<QStringList>("applied"); // by code address less $8000
    const QStringList all{"comment 16 two words", "name 4 msg", "name 99 last", "text 0+16",
                          "words 20+4"};
    QTest::newRow("unchanged") << -1 << QByteArray("Clock") << 0 << all;
    QTest::newRow("a longer name: the code moved, its marks with it")
        << -1 << QByteArray("Clockwork") << 0 << all;
    QTest::newRow("a byte of the text changed")
        << 0x800F << QByteArray("Clock") << 1
        << QStringList{"comment 16 two words", "name 4 msg", "name 99 last", "words 20+4"};
    QTest::newRow("a byte a label's digest covers")
        << 0x8007 << QByteArray("Clock") << 2
        << QStringList{"comment 16 two words", "name 99 last", "words 20+4"};
    QTest::newRow("the byte after those four")
        << 0x8008 << QByteArray("Clock") << 1
        << QStringList{"comment 16 two words", "name 4 msg", "name 99 last", "words 20+4"};
}

void MarksFileTest::placement() {
    QFETCH(int, changedAddress);
    QFETCH(QByteArray, name);
    QFETCH(int, unplaced);
    QFETCH(QStringList, applied);
    const QByteArray made = TestFiles::addin("Clock", "Shows time", 100, 0);
    const int madeStart = AddinHeader::parse(made).headSize;
    // "last" is the code's last byte: its digest covers that one byte.
    const QByteArray given = "text $8000 $8010 -\nlabel $8004 - msg\ncomment $8010 - two words\n"
                             "words $8014 $8018 -\nlabel $8063 - last\n";
    const QByteArray recorded = MarksFile::write(MarksFile::parse(given).marks, made, madeStart);
    QVERIFY(!recorded.contains(" - "));

    QByteArray image = TestFiles::addin(name, "Shows time", 100, 0);
    const int codeStart = AddinHeader::parse(image).headSize;
    if (changedAddress >= 0) {
        image[AddinMarks::offsetOf(changedAddress, codeStart)] = '\xFF';
    }
    AddinMarks marks = MarksFile::parse(recorded).marks;
    QCOMPARE(marks.place(image, codeStart), unplaced);
    QStringList byAddress;
    for (QString text : ::applied(marks.codeMarks(codeStart, int(image.size())))) {
        const QStringList words = text.split(QLatin1Char(' '));
        const QString at = words[1].section(QLatin1Char('+'), 0, 0);
        text.replace(words[0].size() + 1, at.size(), QString::number(at.toInt() - codeStart));
        byAddress << text;
    }
    byAddress.sort();
    QCOMPARE(byAddress, applied);
    // A mark on changed bytes is written back as the file had it, and so is every other.
    QCOMPARE(MarksFile::write(marks, image, codeStart), recorded);
}

void MarksFileTest::edits_data() {
    // Steps: "kind START END NAME" (addresses less $8000; NAME "-" for back to the analysis),
    // "label AT NAME", "comment AT TEXT", "bookmark START END NOTE", "unbookmark START END";
    // what the marks file then holds, without its first line and digests ("text 0 16").
    QTest::addColumn<QByteArray>("before"); // a marks file, its digests those of its lines
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("marks");
    QTest::addColumn<bool>("changed"); // by the last step
    QTest::newRow("a kind over two others cuts them")
        << QByteArray("text $8000 $8010 -\nwords $8010 $8020 -\n") << QStringList{"kind 8 24 bytes"}
        << QStringList{"text 0 8", "bytes 8 24", "words 24 32"} << true;
    QTest::newRow("back to the analysis in the middle")
        << QByteArray("text $8000 $8010 -\n") << QStringList{"kind 4 8 -"}
        << QStringList{"text 0 4", "text 8 16"} << true;
    QTest::newRow("back to the analysis where nothing is marked")
        << QByteArray("text $8000 $8010 -\n") << QStringList{"kind 16 32 -"}
        << QStringList{"text 0 16"} << false;
    QTest::newRow("pieces of one kind join")
        << QByteArray() << QStringList{"kind 0 4 text", "kind 8 12 text", "kind 4 8 text"}
        << QStringList{"text 0 12"} << true;
    QTest::newRow("a kind whose bytes changed is dropped, not cut")
        << QByteArray("text $8000 $8010 00000000\n") << QStringList{"kind 4 8 code"}
        << QStringList{"code 4 8"} << true;
    QTest::newRow("a label renamed, a comment taken away, the same label again")
        << QByteArray("# why\nlabel $8004 - old\ncomment $8004 - note\n")
        << QStringList{"label 4 new", "comment 4", "label 4 new"}
        << QStringList{"# why", "label 4 new"} << false;
    QTest::newRow("a bookmark's note changed, another taken away")
        << QByteArray("bookmark $8000 $8004 - a\nbookmark $8004 $8008 - b\n")
        << QStringList{"bookmark 0 4 c", "unbookmark 4 8"} << QStringList{"bookmark 0 4 c"} << true;
}

void MarksFileTest::edits() {
    QFETCH(QByteArray, before);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, marks);
    QFETCH(bool, changed);
    AddinMarks edited = MarksFile::parse(before).marks;
    edited.place(TestFiles::addin(), AddinHeader::parse(TestFiles::addin()).headSize);
    bool last = false;
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const int first = AddinMarks::kCodeAddress + words.value(1).toInt();
        const int second = AddinMarks::kCodeAddress + words.value(2).toInt();
        if (words[0] == QLatin1String("kind")) {
            last = edited.setKind(first, second, CodeKinds::parse(words[3]));
        } else if (words[0] == QLatin1String("label")) {
            last = edited.setLabel(first, words.value(2));
        } else if (words[0] == QLatin1String("comment")) {
            last = edited.setComment(first, words.value(2));
        } else if (words[0] == QLatin1String("bookmark")) {
            last = edited.setBookmark(first, second, words[3]);
        } else {
            last = edited.removeBookmark(first, second);
        }
    }
    QStringList lines;
    for (const QString& line : QString::fromUtf8(MarksFile::write(edited, {}, 0))
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                   .mid(1)) {
        if (line.startsWith(QLatin1Char('#'))) {
            lines << line;
            continue;
        }
        QStringList words = line.simplified().split(QLatin1Char(' '));
        const bool range = words[0] != QLatin1String("label") && words[0] != "comment";
        for (int i = 1; i <= (range ? 2 : 1); ++i) {
            words[i] = QString::number(words[i].mid(1).toInt(nullptr, 16) - 0x8000);
        }
        words.removeAt(range ? 3 : 2);
        lines << words.join(QLatin1Char(' '));
    }
    QCOMPARE(lines, marks);
    QCOMPARE(last, changed);
}

void MarksFileTest::labelNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("taken");
    for (const char* name : {"msg_restart", "_start", "Msg", "x", "ixh_", "af_", "ffh", "seek2",
                             "L8000", "l9113", "a_very_long_name_that_both_assemblers_take_42"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    }
    // A word either assembler reserves, in any case; "sli" is z80asm's SLL.
    for (const char* name : {"a", "HL", "ixh", "nz", "po", "m", "nop", "Ld", "djnz", "sli", "org",
                             "defb", "EQU", "include", "macro", "high", "mod", "shr", "seek"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << false;
    }
}

// The rule against the assemblers themselves: a name it takes assembles in both as a label, a
// jump's target, a word and an address loaded; a reserved word it refuses fails in one of them.
void MarksFileTest::labelNames() {
    QFETCH(QString, name);
    QFETCH(bool, taken);
    QCOMPARE(LabelName::problem(name, 0x8000).isEmpty(), taken);
    const QByteArray label = name.toLatin1();
    const QByteArray source = "        org $8000\n" + label + ":\n        nop\n        jp " +
                              label + "\n        defw " + label + "\n        ld hl," + label + "\n";
    const bool assembles = bothAssemble(source, QByteArray::fromHex("00C30080008021 0080"));
    if (taken != assembles && QStandardPaths::findExecutable("pasmo").isEmpty()) {
        QSKIP("pasmo is not installed: scripts/mobrin installs it");
    }
    // Only the reserved words tell: "sli" and "seek" are taken by both, and refused to be safe.
    if (name != QLatin1String("sli") && name != QLatin1String("seek")) {
        QCOMPARE(assembles, taken);
    }
}

QTEST_GUILESS_MAIN(MarksFileTest)
#include "tst_marksfile.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinCheck.h"
#include "AddinHeader.h"
#include "AddinRecipe.h"
#include "AddinSource.h"
#include "CodeListing.h"
#include "CodeMap.h"
#include "TestFiles.h"
#include "Z80Programs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

#include <variant>

namespace {

QByteArray realAddin() {
    QFile file(qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + QStringLiteral("/tafl.rex"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

CodeMap mapOf(const QByteArray& image, const QList<CodeRange>& given = {}) {
    return CodeMap::of(image, AddinHeader::parse(image), given, true);
}

// A program of the C compiler: its code at $8000 and, per byte, whether its listing says data.
struct Compiled {
    QByteArray code;
    QList<bool> data;
    QString error;
};

bool run(const QString& program, const QStringList& arguments, QString& error) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (process.waitForFinished(60000) && process.exitCode() == 0) {
        return true;
    }
    error = program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll()).left(500);
    return false;
}

// Marks the bytes the relocated listing (.rst) shows: a line of an instruction is code, one of
// a directive (.db, .dw, .ascii, ...) data; a line of bytes alone goes on the line before.
void readListing(const QString& path, Compiled& compiled) {
    static const QRegularExpression line(QStringLiteral(
        "^\\s+([0-9A-F]{6})((?: [0-9A-F]{2})+)\\s+(?:\\[[^\\]]*\\])?\\s*\\d+\\s+(.*)$"));
    static const QRegularExpression more(QStringLiteral("^\\s{13}((?:[0-9A-F]{2} ?)+)\\s*$"));
    const QStringList lines = QString::fromLatin1(TestFiles::read(path)).split(QLatin1Char('\n'));
    int address = -1;
    bool data = false;
    for (const QString& text : lines) {
        QString bytes;
        if (const QRegularExpressionMatch match = line.match(text); match.hasMatch()) {
            address = match.captured(1).toInt(nullptr, 16);
            bytes = match.captured(2);
            data = match.captured(3).startsWith(QLatin1Char('.'));
        } else if (const QRegularExpressionMatch match = more.match(text);
                   match.hasMatch() && address >= 0) {
            bytes = match.captured(1);
        } else {
            address = -1;
            continue;
        }
        for (const QString& byte : bytes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const int at = address++ - CodeMap::kDefaultBase;
            if (at >= 0 && at < compiled.data.size()) {
                compiled.data[at] = data;
            }
            Q_UNUSED(byte);
        }
    }
}

// The C program built as an add-in's code at $8000, with our start-up code (crt0.s), as
// `sdcc -mz80 --code-loc 0x8000` builds it; the bytes no listing of ours shows (the
// compiler's library) are code.
Compiled compile(const QString& source) {
    const QString folder =
        qEnvironmentVariable("MOBRIN_TEST_DATA") + QStringLiteral("/core/code/sdcc");
    TestFiles files;
    const QString start = files.path(QStringLiteral("crt0.rel"));
    const QString object = files.path(QStringLiteral("program.rel"));
    const QString hex = files.path(QStringLiteral("program.ihx"));
    const QString binary = files.path(QStringLiteral("program.bin"));
    const QStringList layout = {"-mz80",      "--code-loc", "0x8000",
                                "--data-loc", "0xC100",     "--no-std-crt0"};
    Compiled compiled;
    if (!run("sdasz80", {"-plosgff", start, folder + QStringLiteral("/crt0.s")}, compiled.error) ||
        !run("sdcc", layout + QStringList{"-c", folder + '/' + source, "-o", object},
             compiled.error) ||
        !run("sdcc", layout + QStringList{"-Wl-u", start, object, "-o", hex}, compiled.error) ||
        !run("sdobjcopy", {"-I", "ihex", "-O", "binary", hex, binary}, compiled.error)) {
        return compiled;
    }
    compiled.code = TestFiles::read(binary);
    compiled.data = QList<bool>(compiled.code.size(), false);
    for (const QString& name : QDir(files.path(QString())).entryList({QStringLiteral("*.rst")})) {
        readListing(files.path(name), compiled);
    }
    return compiled;
}

} // namespace

class TestCodeMap : public QObject {
    Q_OBJECT

private slots:
    void followsTheCode_data();
    void followsTheCode();
    void references_data();
    void references();
    void systemCalls_data();
    void systemCalls();
    void kindNames_data();
    void kindNames();
    void agreesWithTheCompiler_data();
    void agreesWithTheCompiler();
    void realStringsAreText();
    void sourceSurvivesAnEdit_data();
    void sourceSurvivesAnEdit();
};

void TestCodeMap::followsTheCode_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("tail");   // after the code, word 1's length
    QTest::addColumn<QStringList>("given"); // ranges an author fixed
    QTest::addColumn<QStringList>("ranges");
    QTest::addColumn<QStringList>("labels");

    const auto row = [](const char* name, const char* source, const QStringList& ranges,
                        const QStringList& labels, const QStringList& given = {},
                        const QByteArray& tail = {}) {
        QTest::newRow(name) << QByteArray(source) << tail << given << ranges << labels;
    };
    row("what follows a return is data", R"(
        ld a,1
        ret
        defb $12,$34
    )",
        {"$8000 $8003 code", "$8003 $8005 bytes"}, {"$8000 entry"});
    row("text the code names", R"(
        ld hl,hello
        ret
hello:  defm "Hi there"
        defb 0
    )",
        {"$8000 $8004 code", "$8004 $800D text"}, {"$8000 entry", "$8004 data"});
    row("a call returns, unless its routine never does", R"(
        call f
        call stop
        defb $00,$FF
f:      ret
stop:   jr stop
    )",
        {"$8000 $8006 code", "$8006 $8008 bytes", "$8008 $800B code"},
        {"$8000 entry", "$8008 call", "$8009 call+jump"});
    row("the system call that leaves the add-in does not come back", R"(
        ld hl,$0042
        ld ($C000),hl
        rst $10
        defb $12,$34
    )",
        {"$8000 $8007 code", "$8007 $8009 bytes"}, {"$8000 entry"});
    row("code the code jumps through", R"(
        ld hl,f
        jp (hl)
        defb 0
f:      ld a,2
        ret
    )",
        {"$8000 $8004 code", "$8004 $8005 bytes", "$8005 $8008 code"},
        {"$8000 entry", "$8005 data"});
    row("a constant that leads to code which decodes cleanly: a function pointer", R"(
        ld hl,f
        ld ($C100),hl
        ret
        defb 0
f:      ld a,2
        ret
    )",
        {"$8000 $8007 code", "$8007 $8008 bytes", "$8008 $800B code"},
        {"$8000 entry", "$8008 data"});
    row("a switch's table of jumps", R"(
        ld e,a
        ld d,0
        ld hl,table
        add hl,de
        add hl,de
        add hl,de
        jp (hl)
table:  jp one
        jp two
one:    ld a,1
        ret
two:    ld a,2
        ret
    )",
        {"$8000 $8016 code"}, {"$8000 entry", "$800A data", "$8010 jump", "$8013 jump"});
    row("a table of addresses of text and code", R"(
        ld hl,table
        ret
table:  defw hello,f
hello:  defm "Hello"
        defb 0
f:      ret
    )",
        {"$8000 $8004 code", "$8004 $8008 pointers", "$8008 $800E text", "$800E $800F code"},
        {"$8000 entry", "$8004 data", "$8008 table", "$800E table"});
    row("a routine that reads the table of cases after its call", R"(
        ld hl,2
        call case
        defw one,1
        defw two,2
        defw 0
        ld a,9
        ret
one:    ld a,1
        ret
two:    ld a,2
        ret
case:   ex de,hl
        pop hl
        ld c,(hl)
        jp (hl)
    )",
        {"$8000 $8006 code", "$8006 $8010 words", "$8010 $801D code"},
        {"$8000 entry", "$8013 table", "$8016 table", "$8019 call"});
    row("data read and written", R"(
        ld hl,(count)
        inc hl
        ld (count),hl
        ld a,(flag)
        ret
count:  defw 0
flag:   defb 1
        defb 2
    )",
        {"$8000 $800B code", "$800B $800D words", "$800D $800F bytes"},
        {"$8000 entry", "$800B data", "$800D data"});
    row("a routine nothing names between data and code", R"(
        call f
        ret
        defb 0,0,0
g:      ld a,3
        ret
f:      ret
    )",
        {"$8000 $8004 code", "$8004 $8007 bytes", "$8007 $800B code"},
        {"$8000 entry", "$800A call"});
    row("code that runs into a fill ends there", R"(
        ld a,1
        defs 16,$FF
    )",
        {"$8000 $8002 code", "$8002 $8012 bytes"}, {"$8000 entry"});
    row("padding after word 1's length", R"(
        ret
    )",
        {"$8000 $8001 code", "$8001 $8029 padding"}, {"$8000 entry"}, {},
        QByteArray(20, '\0') + QByteArray(20, '\xFF'));
    row("given data is never decoded, yet the call's label stays", R"(
        call f
        ret
f:      ld a,1
        ret
    )",
        {"$8000 $8004 code", "$8004 $8007 text"}, {"$8000 entry", "$8004 call"},
        {"$8004 $8007 text"});
    row("given code is followed: its jumps count", R"(
        ret
        nop
        jp f
        defb 0
f:      ld b,b
        ret
    )",
        {"$8000 $8005 code", "$8005 $8006 bytes", "$8006 $8008 code"},
        {"$8000 entry", "$8006 jump"}, {"$8001 $8005 code"});
}

// Each row is a whole add-in, its code assembled at $8000.
void TestCodeMap::followsTheCode() {
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, tail);
    QFETCH(QStringList, given);
    QFETCH(QStringList, ranges);
    QFETCH(QStringList, labels);
    QString error;
    const QByteArray code = Z80Programs::assemble(source, &error);
    QVERIFY2(!code.isEmpty(), qPrintable(error));
    const QByteArray image = Z80Programs::addin(code, tail);
    const int first = AddinHeader::parse(image).headSize;
    const CodeMap map = mapOf(image, Z80Programs::parsed(given, first));
    QCOMPARE(Z80Programs::ranges(map), ranges);
    QCOMPARE(Z80Programs::labels(map), labels);
    // Every byte has its range, the first and the last included.
    QCOMPARE(map.rangeIndexAt(first), 0);
    QCOMPARE(map.rangeIndexAt(first - 1), -1);
    QCOMPARE(map.rangeIndexAt(map.endOffset() - 1), map.ranges().size() - 1);
    QCOMPARE(map.rangeIndexAt(map.endOffset()), -1);
}

void TestCodeMap::references_data() {
    QTest::addColumn<int>("start"); // addresses: the bytes [start, end) asked about
    QTest::addColumn<int>("end");
    QTest::addColumn<QStringList>("references"); // "from kind"

    QTest::newRow("a routine: called, jumped to, in a table")
        << 0x8011 << 0x8012 << QStringList{"$8000 call", "$8003 jump", "$8013 pointer"};
    QTest::newRow("a byte: written, read, in a table")
        << 0x8012 << 0x8013 << QStringList{"$8009 write", "$800C read", "$8015 pointer"};
    QTest::newRow("a table: its address loaded")
        << 0x8013 << 0x8017 << QStringList{"$8006 pointer"};
    QTest::newRow("the whole code")
        << 0x8000 << 0x8018
        << QStringList{"$8000 call", "$8003 jump", "$8006 pointer", "$8009 write",
                       "$800C read", "$800F jump", "$8013 pointer", "$8015 pointer"};
    QTest::newRow("nothing refers to it") << 0x8001 << 0x8003 << QStringList{};
}

// The cross-references of a range: every instruction or table word that refers to a byte in it.
void TestCodeMap::references() {
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QStringList, references);
    QString error;
    const QByteArray code = Z80Programs::assemble(R"(
        call f          ; $8000
        jp z,f          ; $8003
        ld hl,table     ; $8006
        ld (flag),a     ; $8009
        ld a,(flag)     ; $800C
        jr g            ; $800F
f:      ret             ; $8011
flag:   defb 0          ; $8012
table:  defw f,flag     ; $8013
g:      ret             ; $8017
    )",
                                                  &error);
    QVERIFY2(!code.isEmpty(), qPrintable(error));
    const CodeMap map = mapOf(Z80Programs::addin(code));
    static const char* const kKinds[] = {"jump", "call", "read", "write", "pointer"};
    QStringList found;
    for (const CodeReference& reference :
         map.referencesTo(*map.offsetOf(quint16(start)), *map.offsetOf(quint16(end - 1)) + 1)) {
        found.append(QStringLiteral("$%1 %2")
                         .arg(map.addressOf(reference.from), 4, 16)
                         .toUpper()
                         .arg(QLatin1String(kKinds[int(reference.kind)])));
        QCOMPARE(map.referenceFrom(reference.from)->to, reference.to);
    }
    QCOMPARE(found, references);
}

void TestCodeMap::systemCalls_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QStringList>("calls"); // "address comment"
    QTest::addColumn<QStringList>("routines");

    const auto row = [](const char* name, const char* source, const QStringList& calls,
                        const QStringList& routines = {}) {
        QTest::newRow(name) << QByteArray(source) << calls << routines;
    };
    row("a number stored at $C000, then rst $10", R"(
        ld hl,$42
        ld ($C000),hl
        rst $10
        ret
    )",
        {"$8006 DS_ADDIN_TERMINATE"});
    row("stored a byte at a time", R"(
        ld a,$42
        ld ($C000),a
        xor a
        ld ($C001),a
        rst $10
        ret
    )",
        {"$8009 DS_ADDIN_TERMINATE"});
    row("an extended call and its own number", R"(
        ld hl,$CE
        ld ($C000),hl
        ld hl,$0101
        ld ($C002),hl
        rst $10
        ret
    )",
        {"$800C DS_CAL_CURRENT_TIME"});
    row("a number that names no call", R"(
        ld de,$41
        ld ($C000),de
        rst $10
        ret
    )",
        {"$8007 $0041"});
    row("a number the code does not show", R"(
        ld hl,($C100)
        ld ($C000),hl
        rst $10
        ret
    )",
        {});
    row("a routine given the number in a register", R"(
        ld hl,$72
        call sys
        ld hl,($C100)
        call sys
        ret
sys:    ld ($C000),hl
        rst $10
        ret
    )",
        {"$8003 DS_DIALOG_CHECK_BOX_DRAW / DS_DISPLAY_BITMAP_DRAW"}, {"$800D"});
    row("a routine given the number on the stack, copied with the arguments", R"(
        ld hl,$30
        push hl
        call sys
        pop af
        ret
sys:    push bc
        ld hl,4
        add hl,sp
        ld de,$C000
        ld bc,2
        ldir
        pop bc
        rst $10
        ret
    )",
        {"$8004 DS_EVENT_CLEAR"}, {"$8009"});
    row("a routine that jumps on to one that makes the call", R"(
        ld hl,$0C
        push hl
        call helper
        pop af
        ret
helper: push bc
        ld bc,2
        jp sys
sys:    push de
        ld hl,6
        add hl,sp
        ld de,$C000
        ldir
        pop de
        pop bc
        rst $10
        ret
    )",
        {"$8004 DS_TIME_SUMMER_SET"}, {"$8009"});
}

void TestCodeMap::systemCalls() {
    QFETCH(QByteArray, source);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, routines);
    QString error;
    const QByteArray code = Z80Programs::assemble(source, &error);
    QVERIFY2(!code.isEmpty(), qPrintable(error));
    const CodeMap map = mapOf(Z80Programs::addin(code));
    QStringList found;
    for (const SystemCallSite& site : map.systemCalls()) {
        found.append(QStringLiteral("$%1 %2")
                         .arg(map.addressOf(site.offset), 4, 16, QLatin1Char('0'))
                         .toUpper()
                         .arg(site.comment()));
        QCOMPARE(map.systemCallAt(site.offset), &site);
    }
    QCOMPARE(found, calls);
    QStringList labelled;
    for (const CodeLabel& label : map.labels()) {
        if ((label.reasons & kSystemCallRoutine) != 0) {
            labelled.append(
                QStringLiteral("$%1").arg(map.addressOf(label.offset), 4, 16).toUpper());
        }
    }
    QCOMPARE(labelled, routines);
}

void TestCodeMap::kindNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind"); // -1: none
    QTest::newRow("code") << "code" << int(CodeKind::Code);
    QTest::newRow("text") << "text" << int(CodeKind::Text);
    QTest::newRow("bytes") << "bytes" << int(CodeKind::Bytes);
    QTest::newRow("words") << "words" << int(CodeKind::Words);
    QTest::newRow("pointers") << "pointers" << int(CodeKind::Pointers);
    QTest::newRow("padding") << "padding" << int(CodeKind::Padding);
    QTest::newRow("any case") << "Pointers" << int(CodeKind::Pointers);
    QTest::newRow("no kind") << "data" << -1;
    QTest::newRow("empty") << "" << -1;
}

// The names a file of marks holds.
void TestCodeMap::kindNames() {
    QFETCH(QString, name);
    QFETCH(int, kind);
    const std::optional<CodeKind> parsed = CodeKinds::parse(name);
    QCOMPARE(parsed.has_value(), kind >= 0);
    if (parsed) {
        QCOMPARE(int(*parsed), kind);
        QCOMPARE(CodeKinds::name(*parsed), name.toLower());
    }
}

void TestCodeMap::agreesWithTheCompiler_data() {
    QTest::addColumn<QString>("source"); // in tests/core/code/sdcc
    QTest::newRow("strings through pointers, constants, initialised variables") << "strings.c";
    QTest::newRow("switches as tables of jumps") << "switch.c";
    QTest::newRow("a menu of captions and handlers") << "menu.c";
    QTest::newRow("text with line breaks, a table of it") << "text.c";
    QTest::newRow("a board, rules through function pointers, a long") << "board.c";
    QTest::newRow("bitmaps, structures pointing at them, a handler variable") << "sprites.c";
    QTest::newRow("a loop that never returns, recursion, stack arguments") << "loop.c";
}

// SDCC builds each program and its listing says which bytes are code and which data; the map
// must agree on 99 % of the bytes and call 90 % of the data data.
void TestCodeMap::agreesWithTheCompiler() {
    QFETCH(QString, source);
    if (QStandardPaths::findExecutable(QStringLiteral("sdcc")).isEmpty()) {
        QSKIP("sdcc is not installed: scripts/mobrin installs it");
    }
    const Compiled compiled = compile(source);
    QVERIFY2(compiled.error.isEmpty(), qPrintable(compiled.error));
    AddinRecipe recipe;
    recipe.code = compiled.code;
    recipe.name = QStringLiteral("Compiled");
    const auto made = recipe.make();
    QVERIFY(std::holds_alternative<QByteArray>(made));
    const QByteArray image = std::get<QByteArray>(made);
    const AddinHeader header = AddinHeader::parse(image);
    const CodeMap map = CodeMap::of(image, header);
    int agreeing = 0;
    int data = 0;
    int dataFound = 0;
    QStringList differing;
    for (int i = 0; i < compiled.code.size(); ++i) {
        const bool mapData = map.kindAt(header.headSize + i) != CodeKind::Code;
        agreeing += mapData == compiled.data.at(i) ? 1 : 0;
        data += compiled.data.at(i) ? 1 : 0;
        dataFound += compiled.data.at(i) && mapData ? 1 : 0;
        if (mapData != compiled.data.at(i) && differing.size() < 10) {
            differing.append(QString::number(CodeMap::kDefaultBase + i, 16));
        }
    }
    const QString said = QStringLiteral("%1 of %2 bytes agree, %3 of %4 data bytes found; "
                                        "differing at %5")
                             .arg(agreeing)
                             .arg(compiled.code.size())
                             .arg(dataFound)
                             .arg(data)
                             .arg(differing.join(QLatin1Char(' ')));
    qInfo("%s", qPrintable(said));
    QVERIFY2(qsizetype(agreeing) * 100 >= compiled.code.size() * 99, qPrintable(said));
    QVERIFY2(dataFound * 10 >= data * 9, qPrintable(said));
}

// In tafl.rex, the strings between its routines are text, and no label lands inside an
// instruction that the map calls code unless a jump leads there.
void TestCodeMap::realStringsAreText() {
    const QByteArray image = realAddin();
    if (image.isEmpty()) {
        QSKIP("the real add-in tafl.rex is not available here");
    }
    const CodeMap map = CodeMap::of(image, AddinHeader::parse(image), {}, true);
    for (const char* text :
         {"Restarting...", "White won!", "Black won!", "Black plays...", "(Computer)",
          "White plays...", "(Player)", "REX Tafl", "Computer:", "Status"}) {
        const int at = int(image.indexOf(QByteArray(text) + '\0'));
        QVERIFY2(at > map.firstOffset(), text);
        const CodeRange& range = map.ranges().at(map.rangeIndexAt(at));
        QVERIFY2(range.kind == CodeKind::Text && range.end >= at + int(qstrlen(text)), text);
    }
    const CodeListing listing = CodeListing::ofMap(image, map);
    for (const CodeReference& reference : map.references()) {
        const CodeInstruction& holder = listing.instructions().at(listing.indexAt(reference.to));
        QVERIFY2(holder.offset == reference.to || holder.kind != CodeKind::Code,
                 qPrintable(listing.line(listing.indexAt(reference.to)).toString()));
    }
}

void TestCodeMap::sourceSurvivesAnEdit_data() {
    QTest::addColumn<QByteArray>("image");

    const QByteArray code = Z80Programs::assemble(R"(
        ld sp,$FFFF
        ld hl,table
        ld e,(hl)
        inc hl
        ld d,(hl)
        ex de,hl
        jp (hl)
table:  defw start,hello
start:  ld hl,hello
        ld (pointer),hl
        call show
        ret
show:   ld a,(pointer)
        ret
pointer: defw 0
hello:  defm "Hello"
        defb 0
    )");
    QTest::newRow("word 1 the code's length, then padding")
        << Z80Programs::addin(code, QByteArray(100, '\0') + QByteArray(100, '\xFF'));
    QTest::newRow("tafl.rex") << realAddin();
}

// One `nop` inserted after the first instruction of the source, and the source assembled
// again: the add-in is as sound as before, and its map is the old one moved by a byte after
// the insertion, its jumps, calls, pointers and word 1 with it.
void TestCodeMap::sourceSurvivesAnEdit() {
    QFETCH(QByteArray, image);
    if (image.isEmpty()) {
        QSKIP("the real add-in is not available here");
    }
    const AddinHeader header = AddinHeader::parse(image);
    QByteArray source = AddinSource::of(image, header);
    const qsizetype code = source.indexOf("\n; The code\n");
    const qsizetype firstInstruction = source.indexOf("\n        ", code) + 1;
    const qsizetype after = source.indexOf('\n', firstInstruction) + 1;
    source.insert(after, "        nop\n");
    TestFiles files;
    const QString input = files.write(QStringLiteral("edited.asm"), source);
    const QString output = files.path(QStringLiteral("edited.rex"));
    QString error;
    QVERIFY2(run(QStringLiteral("z80asm"), {QStringLiteral("-o"), output, input}, error),
             qPrintable(error));
    const QByteArray edited = TestFiles::read(output);

    const bool padded = image.endsWith('\xFF');
    QCOMPARE(edited.size(), image.size() + (padded ? 0 : 1));
    const AddinHeader editedHeader = AddinHeader::parse(edited);
    QCOMPARE(*editedHeader.word1, quint16(*header.word1 + 1));
    QStringList before;
    QStringList now;
    for (const AddinFinding& finding : AddinCheck::of(image)) {
        before.append(finding.id);
    }
    for (const AddinFinding& finding : AddinCheck::of(edited)) {
        now.append(finding.id);
    }
    QCOMPARE(now, before);

    const CodeMap old = CodeMap::of(image, header, {}, true);
    const CodeMap map = CodeMap::of(edited, editedHeader, {}, true);
    const int inserted =
        old.firstOffset() + CodeListing::ofMap(image, old).instructions()[0].length;
    const auto moved = [inserted](int offset) { return offset < inserted ? offset : offset + 1; };
    QList<CodeRange> expected;
    for (const CodeRange& range : old.ranges()) {
        expected.append({range.start == old.firstOffset() ? range.start : moved(range.start),
                         moved(range.end), range.kind});
    }
    if (padded) {
        expected.last().end = int(edited.size());
    }
    QCOMPARE(map.ranges(), expected);
    QCOMPARE(map.references().size(), old.references().size());
    for (int i = 0; i < old.references().size(); ++i) {
        const CodeReference& was = old.references().at(i);
        const CodeReference& is = map.references().at(i);
        QCOMPARE(std::tuple(is.from, is.to, int(is.kind)),
                 std::tuple(moved(was.from), moved(was.to), int(was.kind)));
    }
    QCOMPARE(map.systemCalls().size(), old.systemCalls().size());
}

QTEST_GUILESS_MAIN(TestCodeMap)
#include "tst_codemap.moc"

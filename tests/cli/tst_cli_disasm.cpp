// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "AddinSource.h"
#include "CliRun.h"
#include "TestFiles.h"

#include <QtTest>

namespace {

// A 205-byte header, seven code bytes (ld a,($8000); jp $8003, to itself; the first byte of
// a call), then three FF bytes.
QByteArray smallAddin() {
    return buildAddinHeader("ADDIN", "Clock", "Shows time", 0, 0, TestFiles::icon()) +
           QByteArray::fromHex("3A0080C30380CDFFFFFF");
}

} // namespace

class CliDisasm : public QObject {
    Q_OBJECT

private slots:
    void listing_data();
    void listing();
    void refused_data();
    void refused();
    void source();
    void marks_data();
    void marks();
    void suggestionChangesNothing_data();
    void suggestionChangesNothing();
};

void CliDisasm::listing_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("out");

    // The entry point is labelled; the code's own first byte, read, is named too. The bytes
    // that nothing reaches are data.
    const QByteArray code = "L8000:\n"
                            "8000  3A 00 80     ld a,(L8000)\n"
                            "L8003:\n"
                            "8003  C3 03 80     jp L8003\n"
                            "8006  CD           .db $CD\n";
    QTest::newRow("the code, cut off where the FF bytes start") << QStringList{} << code;
    // Lines of bytes end where an address that is a multiple of eight begins.
    QTest::newRow("--all: to the end of the file")
        << QStringList{"--all"}
        << QByteArray("L8000:\n"
                      "8000  3A 00 80     ld a,(L8000)\n"
                      "L8003:\n"
                      "8003  C3 03 80     jp L8003\n"
                      "8006  CD FF        .db $CD,$FF\n"
                      "8008  FF FF        .db $FF,$FF\n");
    QTest::newRow("--linear --all: every byte decoded, as before the map")
        << QStringList{"--linear", "--all"}
        << QByteArray("L8000:\n"
                      "8000  3A 00 80     ld a,($8000)\n"
                      "L8003:\n"
                      "8003  C3 03 80     jp L8003\n"
                      "8006  CD FF FF     call $FFFF\n"
                      "8009  FF           rst $38\n");
    QTest::newRow("--ranges --all")
        << QStringList{"--ranges", "--all"} << QByteArray("$8000 $8006 code\n$8006 $800A bytes\n");
    QTest::newRow("--json")
        << QStringList{"--json"}
        << QByteArray("{\"address\":32768,\"bytes\":\"3A 00 80\",\"kind\":\"code\",\"label\":"
                      "\"L8000\",\"offset\":205,\"text\":\"ld a,(L8000)\"}\n"
                      "{\"address\":32771,\"bytes\":\"C3 03 80\",\"kind\":\"code\",\"label\":"
                      "\"L8003\",\"offset\":208,\"text\":\"jp L8003\"}\n"
                      "{\"address\":32774,\"bytes\":\"CD\",\"kind\":\"bytes\",\"label\":null,"
                      "\"offset\":211,\"text\":\".db $CD\"}\n");
    QTest::newRow("--no-labels") << QStringList{"--no-labels"}
                                 << QByteArray("8000  3A 00 80     ld a,($8000)\n"
                                               "8003  C3 03 80     jp $8003\n"
                                               "8006  CD           .db $CD\n");
    const QByteArray at9000 = "L9000:\n"
                              "9000  3A 00 80     ld a,($8000)\n"
                              "9003  C3 03 80     jp $8003\n"
                              "9006  CD           .db $CD\n";
    for (const char* address : {"$9000", "0x9000", "0X9000", "36864"}) {
        QTest::addRow("--base %s", address) << QStringList{"--base", address} << at9000;
    }
    QTest::newRow("--base $FFFE: addresses wrap") << QStringList{"--base", "$FFFE"}
                                                  << QByteArray("LFFFE:\n"
                                                                "FFFE  3A 00 80     ld a,($8000)\n"
                                                                "0001  C3 03 80     jp $8003\n"
                                                                "0004  CD           .db $CD\n");
}

void CliDisasm::listing() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, out);
    TestFiles files;
    const CliRun run(QStringList{"disasm", files.write("a.rex", smallAddin())} + options);
    QCOMPARE(run.code, 0);
    QVERIFY(run.err.isEmpty());
    QCOMPARE(run.out, out);
}

void CliDisasm::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("arguments"); // "@" stands for the file
    QTest::addColumn<int>("code");

    const QByteArray addin = smallAddin();
    const QByteArray data = TestFiles::addin("", "", 100, 8192, "DATA");
    QTest::newRow("no signature") << QByteArray(300, 'x') << QStringList{"disasm", "@"} << 4;
    QTest::newRow("header cut short") << addin.left(150) << QStringList{"disasm", "@"} << 4;
    QTest::newRow("class DATA") << data << QStringList{"disasm", "@"} << 4;
    for (const char* address :
         {"$10000", "65536", "-1", "0x", "$", "", "12AB", "$80 00", "+32768", "0x$8000"}) {
        QTest::addRow("--base '%s'", address)
            << addin << QStringList{"disasm", "@", "--base", address} << 2;
    }
    QTest::newRow("--linear with --ranges")
        << addin << QStringList{"disasm", "@", "--linear", "--ranges"} << 2;
    QTest::newRow("source: class DATA") << data << QStringList{"source", "@"} << 4;
    QTest::newRow("source -o onto the add-in")
        << addin << QStringList{"source", "@", "-o", "@"} << 6;
    QTest::newRow("source -o ''") << addin << QStringList{"source", "@", "-o", ""} << 2;
}

void CliDisasm::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    TestFiles files;
    const QString path = files.write("a.rex", bytes);
    const CliRun run(arguments.replaceInStrings("@", path));
    QCOMPARE(run.code, code);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QCOMPARE(TestFiles::read(path), bytes);
}

// The source goes to the standard output, or whole into the file -o names.
void CliDisasm::source() {
    TestFiles files;
    const QString path = files.write("a.rex", smallAddin());
    const CliRun printed({"source", path});
    QCOMPARE(printed.code, 0);
    QCOMPARE(printed.out, AddinSource::of(smallAddin()));
    const CliRun written({"source", path, "-o", files.path("a.asm")});
    QCOMPARE(written.code, 0);
    QVERIFY(written.out.isEmpty() && written.err.isEmpty());
    QCOMPARE(TestFiles::read(files.path("a.asm")), printed.out);
}

void CliDisasm::marks_data() {
    // The marks file a.rex.marks beside the add-in; "@" in the arguments stands for the add-in,
    // "@.marks" for the marks file.
    QTest::addColumn<QByteArray>("beside");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<QByteArray>("err");
    const QByteArray marks = "label $8003 - spin\ncomment $8003 - forever\nbookmark $8000 $8003 "
                             "- first\nbytes $8003 $8006 -\n";
    QTest::newRow("disasm: no marks without --marks")
        << marks << QStringList{"disasm", "@"} << 0
        << QByteArray("L8000:\n8000  3A 00 80     ld a,(L8000)\nL8003:\n8003  C3 03 80     jp "
                      "L8003\n8006  CD           .db $CD\n")
        << QByteArray();
    QTest::newRow("disasm --marks: a name and a comment")
        << QByteArray("label $8003 - spin\ncomment $8003 - forever\n")
        << QStringList{"disasm", "@", "--marks", "@.marks"} << 0
        << QByteArray("L8000:\n8000  3A 00 80     ld a,(L8000)\nspin:\n8003  C3 03 80     jp spin "
                      "; forever\n8006  CD           .db $CD\n")
        << QByteArray();
    QTest::newRow("disasm --marks: the jump marked as bytes")
        << marks << QStringList{"disasm", "@", "--marks", "@.marks"} << 0
        << QByteArray("L8000:\n8000  3A 00 80     ld a,(L8000)\nspin:\n8003  C3 03 80 CD  .db "
                      "$C3,$03,$80,$CD ; forever\n")
        << QByteArray();
    QTest::newRow("disasm --marks --ranges")
        << marks << QStringList{"disasm", "@", "--marks", "@.marks", "--ranges"} << 0
        << QByteArray("$8000 $8003 code\n$8003 $8007 bytes\n") << QByteArray();
    QTest::newRow("disasm --marks: a mark on changed bytes left out, counted")
        << QByteArray("label $8003 00000000 spin\ncomment $8000 - first\n")
        << QStringList{"disasm", "@", "--marks", "@.marks"} << 0
        << QByteArray("L8000:\n8000  3A 00 80     ld a,(L8000) ; first\nL8003:\n8003  C3 03 80  "
                      "   jp L8003\n8006  CD           .db $CD\n")
        << QByteArray("a.rex.marks: 1 mark could not be placed: its bytes changed\n");
    QTest::newRow("disasm --marks: a bad line")
        << QByteArray("label $8003 - spin\n\ncode $8003\nwords $8000 $8000 -\n")
        << QStringList{"disasm", "@", "--marks", "@.marks"} << 3 << QByteArray()
        << QByteArray("a.rex.marks: line 3: code takes a first address and the address after the "
                      "range then a digest of its bytes (and 1 more bad line)\n");
    QTest::newRow("disasm --marks with --linear")
        << marks << QStringList{"disasm", "@", "--marks", "@.marks", "--linear"} << 2
        << QByteArray() << QByteArray("--marks cannot go with it");
    QTest::newRow("source --marks: a bad line, nothing written")
        << QByteArray("label $8003 - nz\n")
        << QStringList{"source", "@", "--marks", "@.marks", "-o", "@.asm"} << 3 << QByteArray()
        << QByteArray("a.rex.marks: line 1: \"nz\" is a word");
    QTest::newRow("marks: the marks beside, and what the code map finds")
        << marks << QStringList{"marks", "@"} << 0
        << QByteArray("code     $8000 $8003 found\n"
                      "label    $8000 found L8000 (entry, data)\n"
                      "bookmark $8000 $8003 marked first\n"
                      "bytes    $8003 $8006 marked\n"
                      "label    $8003 marked spin\n"
                      "comment  $8003 marked forever\n"
                      "bytes    $8006 $800A found\n")
        << QByteArray();
    QTest::newRow("marks --json, unplaced last")
        << QByteArray("label $8003 00000000 spin\n") << QStringList{"marks", "@", "--json"} << 0
        << QByteArray("{\"end\":32774,\"placed\":true,\"source\":\"found\",\"start\":32768,"
                      "\"type\":\"code\"}\n"
                      "{\"address\":32768,\"placed\":true,\"reasons\":[\"entry\",\"data\"],"
                      "\"source\":\"found\",\"text\":\"L8000\",\"type\":\"label\"}\n"
                      "{\"address\":32771,\"placed\":true,\"reasons\":[\"jump\"],\"source\":"
                      "\"found\",\"text\":\"L8003\",\"type\":\"label\"}\n"
                      "{\"end\":32778,\"placed\":true,\"source\":\"found\",\"start\":32774,"
                      "\"type\":\"bytes\"}\n"
                      "{\"address\":32771,\"placed\":false,\"reasons\":[],\"source\":"
                      "\"marked\",\"text\":\"spin\",\"type\":\"label\"}\n")
        << QByteArray("a.rex.marks: 1 mark could not be placed: its bytes changed\n");
    QTest::newRow("marks --suggest") << marks << QStringList{"marks", "@", "--suggest"} << 0
                                     << QByteArray("# Mobrin marks, one a line: see mobrin(5).\n"
                                                   "# code     $8000 $8006 0bb9efb2\n"
                                                   "label    $8000 791af055 L8000\n"
                                                   "label    $8003 75a1ce71 L8003\n"
                                                   "# bytes    $8006 $800A 527f6596\n")
                                     << QByteArray();
    QTest::newRow("marks --suggest --marks")
        << marks << QStringList{"marks", "@", "--suggest", "--marks", "@.marks"} << 2
        << QByteArray() << QByteArray("--marks cannot go with it");
}

void CliDisasm::marks() {
    QFETCH(QByteArray, beside);
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    TestFiles files;
    const QString path = files.write("a.rex", smallAddin());
    files.write("a.rex.marks", beside);
    const CliRun run(arguments.replaceInStrings("@", path));
    QCOMPARE(run.code, code);
    QCOMPARE(run.out, out);
    QVERIFY2(run.err.contains(err), run.err.constData());
    QVERIFY(code == 0 ? run.err.count('\n') == err.count('\n') : run.oneErrorLine());
    QVERIFY(!QFileInfo::exists(path + ".asm"));
}

void CliDisasm::suggestionChangesNothing_data() {
    QTest::addColumn<QString>("path");
    const QDir samples(qEnvironmentVariable("MOBRIN_SAMPLES"));
    for (const char* name : {"clock.rex", "game.rex"}) {
        QTest::newRow(qPrintable(name)) << samples.filePath(name);
    }
    QTest::newRow("tafl.rex") << qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex";
}

// Read back with the add-in as it is, the code map's own findings change nothing the listing (to
// the code's end or the file's, as the window lists it) or the source shows.
void CliDisasm::suggestionChangesNothing() {
    QFETCH(QString, path);
    if (!QFileInfo::exists(path)) {
        QSKIP("the real add-in is not available here");
    }
    TestFiles files;
    const CliRun suggested({"marks", path, "--suggest"});
    QCOMPARE(suggested.code, 0);
    const QString marks = files.write("a.marks", suggested.out);
    for (const QStringList& command :
         {QStringList{"disasm"}, QStringList{"disasm", "--all"}, QStringList{"source"}}) {
        const CliRun plain(command + QStringList{path});
        const CliRun marked(command + QStringList{path, "--marks", marks});
        QCOMPARE(marked.code, 0);
        QVERIFY(marked.err.isEmpty());
        QCOMPARE(marked.out, plain.out);
    }
}

QTEST_GUILESS_MAIN(CliDisasm)
#include "tst_cli_disasm.moc"

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

QTEST_GUILESS_MAIN(CliDisasm)
#include "tst_cli_disasm.moc"

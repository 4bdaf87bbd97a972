// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRun.h"
#include "TestFiles.h"

#include <QtTest>

class CliDiff : public QObject {
    Q_OBJECT

private slots:
    void diff_data();
    void diff();
};

void CliDiff::diff_data() {
    QTest::addColumn<QByteArray>("b"); // against TestFiles::addin(), A; empty: no file B
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");

    const QByteArray a = TestFiles::addin();
    QTest::newRow("same") << a << QStringList{} << 0 << QByteArray();
    // By structure: the header grew a byte, and nothing after it moved.
    QTest::newRow("a longer description: no code run")
        << TestFiles::addin("Clock", "Shows times") << QStringList{} << 1
        << QByteArray("description: \"Shows time\" | \"Shows times\"\n"
                      "header_size: 205 | 206\n"
                      "org: $7F35 | $7F34\n"
                      "tail: only A has its last byte, from $1FFF (@$9F32): FF\n");
    QByteArray other = TestFiles::addin("Clock", "Shows times", 104).replace(42, 1, "\x38");
    other[46] = char(other[46] ^ 1);
    other.replace(210, 2, "zz");
    QTest::newRow("word 1, an icon pixel, code runs")
        << other << QStringList{} << 1
        << QByteArray("description: \"Shows time\" | \"Shows times\"\n"
                      "word1: $1234 | $1238\n"
                      "icon: 1 pixel differs\n"
                      "header_size: 205 | 206\n"
                      "org: $7F35 | $7F34\n"
                      "code_size: 100 | 104\n"
                      "$00D1 $00D2 @$8004    2 bytes  04 05 | 7A 7A\n"
                      "$0131 $0132 @$8064    4 bytes  FF FF FF FF | 64 65 66 67\n"
                      "tail: only A has its last byte, from $1FFF (@$9F32): FF\n");
    QTest::newRow("--json by structure")
        << TestFiles::addin("Time ", "Shows time", 100, 8194).replace(206, 1, "x")
        << QStringList{"--json"} << 1
        << QByteArray(R"({"a_size":8192,"b_size":8194,)"
                      R"("code":{"a_length":7987,"a_offset":205,"b_length":7989,"b_offset":205,)"
                      R"("runs":[{"a":"01","a_offset":206,"address":32769,"b":"78",)"
                      R"("b_offset":206,"length":1}],"tail":{"address":40755,"bytes":"FF FF",)"
                      R"("file":"b","length":2,"offset":8192}},)"
                      R"("header":[{"a":"Clock","b":"Time ","field":"name"},)"
                      R"({"a":8192,"b":8194,"field":"file_size"}]})");
    // By position, as before the comparison knew the structure: byte for byte the same output.
    QTest::newRow("--by-position: a name and code bytes")
        << TestFiles::addin("Time ").replace(205, 1, "x").replace(250, 20, QByteArray(20, 'y'))
        << QStringList{"--by-position"} << 1
        << QByteArray("name: \"Clock\" | \"Time \"\n"
                      "$0017           5 bytes  43 6C 6F 63 6B | 54 69 6D 65 20\n"
                      "$00CD @$8000    1 byte   00 | 78\n"
                      "$00FA @$802D   20 bytes  2D 2E 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C +4 "
                      "more | 79 79 79 79 79 79 79 79 79 79 79 79 79 79 79 79 +4 more\n");
    QTest::newRow("--by-position: another length, a quote in a text")
        << TestFiles::addin("Cl\"ck", "Shows time", 100, 8200) << QStringList{"--by-position"} << 1
        << QByteArray("name: \"Clock\" | \"Cl\\x22ck\"\n"
                      "file_size: $2000 | $2008\n"
                      "A has 8192 bytes and B 8200: only the first 8192 bytes are compared\n"
                      "$0019           1 byte   6F | 22\n");
    // --json compacted: texts and numbers as such, "address" only in the code.
    QTest::newRow("--by-position --json")
        << TestFiles::addin("Time ").replace(205, 1, "x") << QStringList{"--by-position", "--json"}
        << 1
        << QByteArray(R"({"a_size":8192,"b_size":8192,"compared":8192,)"
                      R"("header":[{"a":"Clock","b":"Time ","field":"name"}],)"
                      R"("runs":[{"a":"43 6C 6F 63 6B","b":"54 69 6D 65 20",)"
                      R"("length":5,"offset":23},{"a":"00","address":32768,)"
                      R"("b":"78","length":1,"offset":205}]})");
    // B is no add-in: by position.
    QTest::newRow("the header of B cut short")
        << a.left(150) << QStringList{} << 1
        << QByteArray("header_size: 205 | (none)\norg: $7F35 | (none)\ncode_size: 100 | (none)\n"
                      "file_size: $2000 | $96\n"
                      "A has 8192 bytes and B 150: only the first 150 bytes are compared\n");
    QTest::newRow("B missing") << QByteArray() << QStringList{} << 3 << QByteArray();
}

void CliDiff::diff() {
    QFETCH(QByteArray, b);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    TestFiles files;
    const QStringList arguments{"diff", files.write("a.rex", TestFiles::addin()),
                                b.isEmpty() ? files.path("b.rex") : files.write("b.rex", b)};
    const CliRun run(arguments + options);
    QCOMPARE(run.code, code);
    QCOMPARE(options.contains("--json")
                 ? QJsonDocument::fromJson(run.out).toJson(QJsonDocument::Compact)
                 : run.out,
             out);
    QCOMPARE(run.oneErrorLine(), code == 3);
    // Written by hand, the JSON is laid out byte for byte as QJsonDocument lays it out.
    if (options.contains("--json")) {
        QCOMPARE(QJsonDocument::fromJson(run.out).toJson(QJsonDocument::Indented), run.out);
    }
    if (QByteArrayView(QTest::currentDataTag()) == "--by-position: a name and code bytes") {
        compareWithProgram(arguments + options);
    }
}

QTEST_GUILESS_MAIN(CliDiff)
#include "tst_cli_diff.moc"

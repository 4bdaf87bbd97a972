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
    QTest::newRow("a name and code bytes")
        << TestFiles::addin("Time ").replace(205, 1, "x").replace(250, 20, QByteArray(20, 'y'))
        << QStringList{} << 1
        << QByteArray("name: \"Clock\" | \"Time \"\n"
                      "$0017           5 bytes  43 6C 6F 63 6B | 54 69 6D 65 20\n"
                      "$00CD @$8000    1 byte   00 | 78\n"
                      "$00FA @$802D   20 bytes  2D 2E 2F 30 31 32 33 34 35 36 37 38 39 3A 3B 3C +4 "
                      "more | 79 79 79 79 79 79 79 79 79 79 79 79 79 79 79 79 +4 more\n");
    QTest::newRow("another length, a quote in a text")
        << TestFiles::addin("Cl\"ck", "Shows time", 100, 8200) << QStringList{} << 1
        << QByteArray("name: \"Clock\" | \"Cl\\x22ck\"\n"
                      "file_size: $2000 | $2008\n"
                      "A has 8192 bytes and B 8200: only the first 8192 bytes are compared\n"
                      "$0019           1 byte   6F | 22\n");
    // --json compacted: texts and numbers as such, "address" only in the code.
    QTest::newRow("--json") << TestFiles::addin("Time ").replace(205, 1, "x")
                            << QStringList{"--json"} << 1
                            << QByteArray(R"({"a_size":8192,"b_size":8192,"compared":8192,)"
                                          R"("header":[{"a":"Clock","b":"Time ","field":"name"}],)"
                                          R"("runs":[{"a":"43 6C 6F 63 6B","b":"54 69 6D 65 20",)"
                                          R"("length":5,"offset":23},{"a":"00","address":32768,)"
                                          R"("b":"78","length":1,"offset":205}]})");
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
    if (QByteArrayView(QTest::currentDataTag()) == "a name and code bytes") {
        compareWithProgram(arguments + options);
    }
}

QTEST_GUILESS_MAIN(CliDiff)
#include "tst_cli_diff.moc"

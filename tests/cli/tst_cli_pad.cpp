// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "CliRun.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"

#include <QtTest>

class CliPad : public QObject {
    Q_OBJECT

private slots:
    void pads_data();
    void pads();
    void refused_data();
    void refused();
    void failedPaddingIsUndone();
};

void CliPad::pads_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("padded");
    QTest::newRow("bare header") << 205 << 8192;
    QTest::newRow("5000 bytes") << 5000 << 8192;
    QTest::newRow("8191 bytes: one byte more") << 8191 << 8192;
    QTest::newRow("8192 bytes: nothing to do") << 8192 << 8192;
    QTest::newRow("9000 bytes: nothing to do") << 9000 << 9000;
}

void CliPad::pads() {
    QFETCH(int, size);
    QFETCH(int, padded);

    TestFiles files;
    // Code all the way to the end, so that any byte the command adds shows.
    const QByteArray bytes = TestFiles::addin("Clock", "Shows time", size - 205, 0);
    QCOMPARE(bytes.size(), size);
    const QString path = files.write("a.rex", bytes);
    const CliRun run({"pad", path});
    QCOMPARE(run.code, 0);
    QVERIFY(run.err.isEmpty());
    QVERIFY(run.out.endsWith('\n') && run.out.count('\n') == 1);
    QCOMPARE(TestFiles::read(path), bytes + QByteArray(padded - size, char(0xFF)));
}

void CliPad::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("code");
    QTest::newRow("9001 bytes") << TestFiles::addin("Clock", "Shows time", 100, 9001) << 3;
    QTest::newRow("no signature") << QByteArray(3000, 'x') << 4;
    QTest::newRow("empty file") << QByteArray() << 4;
    QTest::newRow("part of the signature") << QByteArray("Application") << 4;
}

void CliPad::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    TestFiles files;
    const QString path = files.write("a.rex", bytes);
    const CliRun run({"pad", path});
    QCOMPARE(run.code, code);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QCOMPARE(TestFiles::read(path), bytes);
}

void CliPad::failedPaddingIsUndone() {
    TestFiles files;
    const QByteArray bytes = TestFiles::addin("Clock", "Shows time", 4795, 0);
    const QString path = files.write("a.rex", bytes);
    CliRun run({});
    {
        const FileSizeLimit limit(6000); // part of the padding fits, the rest does not
        run = CliRun({"pad", path});
    }
    QCOMPARE(run.code, 6);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.err.endsWith("cannot write the padding: File too large\n"), run.err.constData());
    QCOMPARE(TestFiles::read(path), bytes);
}

QTEST_GUILESS_MAIN(CliPad)
#include "tst_cli_pad.moc"

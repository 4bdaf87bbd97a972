// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "CliRun.h"
#include "DumpText.h"
#include "TestFiles.h"
#include "WindowView.h"

#include <QtTest>

namespace {

QByteArray patternBytes(int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes.append(char((i * 7 + i / 256) & 0xFF));
    }
    return bytes;
}

} // namespace

class CliDump : public QObject {
    Q_OBJECT

private slots:
    void sameAsWindow_data();
    void sameAsWindow();
    void byteMapping();
    void lineShape();
    void refusesToStripWithoutHeader_data();
    void refusesToStripWithoutHeader();
};

void CliDump::sameAsWindow_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("strip");
    QTest::addColumn<int>("headSize");

    QTest::newRow("empty file") << QByteArray() << false << 0;
    QTest::newRow("one byte") << patternBytes(1) << false << 0;
    QTest::newRow("15 bytes") << patternBytes(15) << false << 0;
    QTest::newRow("16 bytes: one full line") << patternBytes(16) << false << 0;
    QTest::newRow("17 bytes: a second line of one byte") << patternBytes(17) << false << 0;
    QTest::newRow("every byte value") << patternBytes(256) << false << 0;
    QTest::newRow("9000 bytes") << patternBytes(9000) << false << 0;
    QTest::newRow("add-in, whole") << TestFiles::addin() << false << 205;
    QTest::newRow("add-in, header stripped") << TestFiles::addin() << true << 205;
    QTest::newRow("add-in without code, header stripped")
        << buildAddinHeader("ADDIN", "", "", 0, 0, TestFiles::icon()) << true << 190;
    QTest::newRow("class DATA, class line stripped")
        << QByteArray("ApplicationName:DATA\r\n") + patternBytes(40) << true << 22;
}

void CliDump::sameAsWindow() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, strip);
    QFETCH(int, headSize);

    TestFiles files;
    const QString path = files.write("a.rex", bytes);
    QStringList arguments{"dump", path};
    if (strip) {
        arguments << "--strip-header";
    }
    const CliRun run(arguments);
    QCOMPARE(run.code, 0);
    QVERIFY(run.err.isEmpty());
    const QByteArrayView range = DumpText::renderedRange(bytes, strip, headSize);
    QCOMPARE(WindowView::printedLines(run.out), WindowView::dumpLines(range));
    QCOMPARE(run.out.count('\n'), (range.size() + 15) / 16);
}

void CliDump::byteMapping() {
    TestFiles files;
    const QByteArray bytes("\x20\x2D\x2E\x41\x7F\x80\x00", 7);
    const CliRun run({"dump", files.write("a.rex", bytes)});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out,
             "0000  20 2D 2E 41 7F 80 00 " + QByteArray(27, ' ') + "  _\xE2\x80\x93.A\x7F..\n");
}

void CliDump::lineShape() {
    TestFiles files;
    const CliRun run({"dump", files.write("a.rex", TestFiles::addin())});
    const QStringList lines = WindowView::printedLines(run.out);
    QCOMPARE(lines.size(), 512);
    QCOMPARE(lines.first(),
             "0000  41 70 70 6C 69 63 61 74 69 6F 6E 4E 61 6D 65 3A   ApplicationName:");
    QCOMPARE(lines.last(),
             "1FF0  FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF   ................");
    for (const QString& line : lines) {
        QCOMPARE(line.size(), 4 + 2 + 48 + 2 + 16);
    }
}

void CliDump::refusesToStripWithoutHeader_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no signature") << QByteArray(300, 'x');
    QTest::newRow("ends inside the icon") << TestFiles::addin().left(150);
    QTest::newRow("description has no end") << TestFiles::addin().left(35);
}

void CliDump::refusesToStripWithoutHeader() {
    QFETCH(QByteArray, bytes);
    TestFiles files;
    const QString path = files.write("a.rex", bytes);
    const CliRun stripped({"dump", path, "--strip-header"});
    QCOMPARE(stripped.code, 4);
    QVERIFY(stripped.out.isEmpty());
    QVERIFY2(stripped.oneErrorLine(), stripped.err.constData());
    // The whole file can still be dumped, as the window still shows it.
    const CliRun whole({"dump", path});
    QCOMPARE(whole.code, 0);
    QCOMPARE(WindowView::printedLines(whole.out), WindowView::dumpLines(bytes));
}

QTEST_GUILESS_MAIN(CliDump)
#include "tst_cli_dump.moc"

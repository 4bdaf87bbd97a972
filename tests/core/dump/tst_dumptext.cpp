// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpText.h"

#include <QtTest>

namespace {

// Image bytes whose value tells their 1-based index: index i holds i mod 256.
QByteArray indexedImage(int size) {
    QByteArray image;
    for (int index = 1; index <= size; ++index) {
        image.append(char(index & 0xFF));
    }
    return image;
}

} // namespace

class TestDumpText : public QObject {
    Q_OBJECT

private slots:
    void mapping();
    void noByteBreaksALine();
    void lines_data();
    void lines();
    void renderedRange_data();
    void renderedRange();
    void addressLines_data();
    void addressLines();
    void addressLinesFrom_data();
    void addressLinesFrom();
};

void TestDumpText::mapping() {
    const QByteArray bytes("\x20\x2D\x2E\x41\x7F\x80\x00", 7);
    QCOMPARE(DumpText::hexText(bytes), QStringLiteral("20 2D 2E 41 7F 80 00 "));
    QCOMPARE(DumpText::asciiText(bytes), QStringLiteral("_") + QChar(0x2013) +
                                             QStringLiteral(".A") + QChar(0x7F) +
                                             QStringLiteral(".."));
    QCOMPARE(DumpText::hexText(QByteArray("\x0A\xFF\xA5")), QStringLiteral("0A FF A5 "));
    QCOMPARE(DumpText::asciiText(QByteArray("\x21\x7E\x1F\xA0\xFF")), QStringLiteral("!~..."));
}

void TestDumpText::noByteBreaksALine() {
    // Lines come from wrapping alone: nothing a pane could break a line at may appear.
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(char(byte));
    }
    const QString ascii = DumpText::asciiText(all);
    QCOMPARE(ascii.size(), 256);
    for (const QChar ch : ascii) {
        QVERIFY(!ch.isSpace());
        QVERIFY(ch != QLatin1Char('-'));
        QVERIFY(ch != QChar(0x2028) && ch != QChar(0x2029));
    }
    const QString hex = DumpText::hexText(all);
    QCOMPARE(hex.size(), 768);
    QCOMPARE(hex, hex.toUpper());
}

void TestDumpText::lines_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("lines"); // visual lines the panes show

    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("16 bytes, one full line") << 16 << 1;
    QTest::newRow("17 bytes, a second line of one byte") << 17 << 2;
    QTest::newRow("8192 bytes") << 8192 << 512;
}

void TestDumpText::lines() {
    QFETCH(int, count);
    QFETCH(int, lines);

    const QByteArray bytes = indexedImage(count);
    const QString hex = DumpText::hexText(bytes);
    const QString ascii = DumpText::asciiText(bytes);
    QCOMPARE(hex.size(), 3 * count);
    QCOMPARE(ascii.size(), count);
    QCOMPARE((hex.size() + DumpText::kHexCharsPerLine - 1) / DumpText::kHexCharsPerLine, lines);
    QCOMPARE((ascii.size() + DumpText::kBytesPerLine - 1) / DumpText::kBytesPerLine, lines);
    // Visual line n starts at character 48(n-1) of the hex text: with byte 16(n-1).
    for (int line = 1; line <= lines; ++line) {
        const int byte = 16 * (line - 1);
        const int start = 48 * (line - 1);
        QCOMPARE(hex.mid(start, 3), DumpText::hexText(bytes.mid(byte, 1)));
    }
    if (count == 17) {
        QCOMPARE(hex.mid(48), QStringLiteral("11 "));
        QCOMPARE(ascii.mid(16), QStringLiteral("."));
    }
}

void TestDumpText::renderedRange_data() {
    QTest::addColumn<int>("imageSize");
    QTest::addColumn<bool>("strip");
    QTest::addColumn<int>("headSize");
    QTest::addColumn<int>("firstIndex"); // image index of dump offset 0
    QTest::addColumn<int>("length");

    QTest::newRow("whole image") << 8192 << false << 200 << 1 << 8192;
    QTest::newRow("header of 200 stripped") << 8192 << true << 200 << 201 << 7992;
    QTest::newRow("damaged header (size 0) stripped") << 8192 << true << 0 << 1 << 8192;
    QTest::newRow("header as long as the file") << 200 << true << 200 << 0 << 0;
    QTest::newRow("empty image") << 0 << false << 0 << 0 << 0;
    QTest::newRow("one byte after the header") << 201 << true << 200 << 201 << 1;
}

void TestDumpText::renderedRange() {
    QFETCH(int, imageSize);
    QFETCH(bool, strip);
    QFETCH(int, headSize);
    QFETCH(int, firstIndex);
    QFETCH(int, length);

    const QByteArray image = indexedImage(imageSize);
    const QByteArrayView range = DumpText::renderedRange(image, strip, headSize);
    QCOMPARE(int(range.size()), length);
    if (length > 0) {
        QCOMPARE(range.toByteArray(), image.mid(firstIndex - 1));
        QCOMPARE(DumpText::hexText(range).left(3),
                 DumpText::hexText(QByteArray(1, char(firstIndex & 0xFF))));
    }
}

void TestDumpText::addressLines_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("lines");

    QTest::newRow("0 to 224") << 0 << 224 << 16
                              << "0000\r0010\r0020\r0030\r0040\r0050\r0060\r0070\r0080\r0090\r"
                                 "00A0\r00B0\r00C0\r00D0\r00E0\r";
    QTest::newRow("start past the end") << 16 << 0 << 16 << "";
    QTest::newRow("one line") << 0 << 0 << 16 << "0000\r";
    QTest::newRow("end between two lines") << 0 << 40 << 16 << "0000\r0010\r0020\r";
    QTest::newRow("high addresses") << 8160 << 8190 << 16 << "1FE0\r1FF0\r";
    QTest::newRow("counting down") << 32 << 0 << -16 << "0020\r0010\r0000\r";
}

void TestDumpText::addressLines() {
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, step);
    QFETCH(QString, lines);
    QCOMPARE(DumpText::addressLines(start, end, step), lines);
}

void TestDumpText::addressLinesFrom_data() {
    QTest::addColumn<int>("firstLine");
    QTest::addColumn<QString>("lines");

    QTest::newRow("line 1") << 1
                            << "0000\r0010\r0020\r0030\r0040\r0050\r0060\r0070\r0080\r0090\r"
                               "00A0\r00B0\r00C0\r00D0\r00E0\r";
    QTest::newRow("line 3") << 3
                            << "0020\r0030\r0040\r0050\r0060\r0070\r0080\r0090\r00A0\r00B0\r"
                               "00C0\r00D0\r00E0\r00F0\r0100\r";
    QTest::newRow("last lines of 8192 bytes")
        << 498
        << "1F10\r1F20\r1F30\r1F40\r1F50\r1F60\r1F70\r1F80\r1F90\r1FA0\r1FB0\r1FC0\r1FD0\r"
           "1FE0\r1FF0\r";
}

void TestDumpText::addressLinesFrom() {
    QFETCH(int, firstLine);
    QFETCH(QString, lines);
    QCOMPARE(DumpText::addressLinesFrom(firstLine), lines);
    QCOMPARE(lines.count(QLatin1Char('\r')), DumpText::kLinesInView);
}

QTEST_GUILESS_MAIN(TestDumpText)
#include "tst_dumptext.moc"

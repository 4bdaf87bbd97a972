// SPDX-License-Identifier: GPL-3.0-or-later
#include "PaneLines.h"

#include <QtTest>

class TestPaneLines : public QObject {
    Q_OBJECT

private slots:
    void brokenText_data();
    void brokenText();
    void positionsRoundTrip_data();
    void positionsRoundTrip();
    void lineEndsMapToTheNextLine_data();
    void lineEndsMapToTheNextLine();
};

void TestPaneLines::brokenText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("lines");
    QTest::newRow("empty") << "" << 4 << "" << 1;
    QTest::newRow("short line") << "abc" << 4 << "abc" << 1;
    QTest::newRow("one full line") << "abcd" << 4 << "abcd" << 1;
    QTest::newRow("one past a line") << "abcde" << 4 << "abcd\ne" << 2;
    QTest::newRow("full lines") << "abcdefgh" << 4 << "abcd\nefgh" << 2;
    QTest::newRow("hex") << "41 42 43 44 " << 6 << "41 42 \n43 44 " << 2;
}

void TestPaneLines::brokenText() {
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(QString, expected);
    QFETCH(int, lines);
    QCOMPARE(PaneLines::broken(text, columns), expected);
    QCOMPARE(PaneLines(columns, int(text.size())).lineCount(), lines);
}

void TestPaneLines::positionsRoundTrip_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("length");
    QTest::newRow("empty") << 16 << 0;
    QTest::newRow("part of a line") << 16 << 5;
    QTest::newRow("exactly one line") << 16 << 16;
    QTest::newRow("ascii, 9000 bytes") << 16 << 9000;
    QTest::newRow("hex, 8192 bytes") << 48 << 3 * 8192;
    QTest::newRow("hex, ragged end") << 48 << 3 * 8197;
}

// Every dump position lands on its own character in the document, and comes back unchanged.
void TestPaneLines::positionsRoundTrip() {
    QFETCH(int, columns);
    QFETCH(int, length);
    QString text;
    for (int i = 0; i < length; ++i) {
        text.append(QChar(u'a' + i % 26));
    }
    const QString document = PaneLines::broken(text, columns);
    const PaneLines lines(columns, length);
    int previous = -1;
    for (int p = 0; p <= length; ++p) {
        const int at = lines.toDocument(p);
        QVERIFY(at > previous && at <= document.size());
        if (p < length) {
            QCOMPARE(document[at], text[p]);
        }
        QCOMPARE(lines.toDump(at), p);
        previous = at;
    }
    QCOMPARE(lines.toDocument(length), document.size());
}

void TestPaneLines::lineEndsMapToTheNextLine_data() {
    QTest::addColumn<int>("documentPosition");
    QTest::addColumn<int>("dumpPosition");
    // Three full lines of four: "abcd\nefgh\nijkl".
    QTest::newRow("start") << 0 << 0;
    QTest::newRow("end of the first line") << 4 << 4;
    QTest::newRow("start of the second line") << 5 << 4;
    QTest::newRow("inside the second line") << 7 << 6;
    QTest::newRow("end of the text") << 14 << 12;
}

void TestPaneLines::lineEndsMapToTheNextLine() {
    QFETCH(int, documentPosition);
    QFETCH(int, dumpPosition);
    const PaneLines lines(4, 12);
    QCOMPARE(lines.toDump(documentPosition), dumpPosition);
}

QTEST_APPLESS_MAIN(TestPaneLines)
#include "tst_panelines.moc"

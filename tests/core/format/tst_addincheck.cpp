// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinCheck.h"
#include "AddinHeader.h"

#include <QtTest>

namespace {

// A sound add-in of 8192 bytes: header 205 bytes, word 1 at offset 41, icon at 45, and word 1
// the length of the code.
QByteArray addin(const QByteArray& classText = "Addin", const QByteArray& name = "Clock",
                 const QByteArray& description = "Shows time", int code = 100, int size = 8192,
                 quint16 word1 = 100, char iconByte = 0x3C) {
    QByteArray bytes = buildAddinHeader(classText, name, description, word1, 0,
                                        QByteArray(AddinHeader::kIconBytes, iconByte));
    bytes += QByteArray(code, 'c');
    return bytes + QByteArray(qMax<qsizetype>(0, size - bytes.size()), '\xFF');
}

QByteArray with(QByteArray bytes, int offset, char byte) {
    bytes[offset] = byte;
    return bytes;
}

} // namespace

class TestAddinCheck : public QObject {
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
};

void TestAddinCheck::findings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected"); // "severity id offset", in the order reported

    QTest::newRow("sound") << addin() << QStringList{};
    QTest::newRow("word 1 the bytes after the header")
        << addin("Addin", "Clock", "Shows time", 100, 8192, 8192 - 205) << QStringList{};
    QTest::newRow("no signature") << QByteArray(300, 'x') << QStringList{"error not-addin 0"};
    QTest::newRow("class DATA") << QByteArray("ApplicationName:DATA\r\n12")
                                << QStringList{"error not-addin 16"};
    QTest::newRow("file ends in the icon")
        << addin().left(100) << QStringList{"error damaged-header 45"};
    QTest::newRow("description without its NUL")
        << addin().left(35) << QStringList{"error damaged-header 30"};
    QTest::newRow("over 9000 bytes")
        << addin("Addin", "Clock", "Shows time", 100, 9001) << QStringList{"error too-large 9000"};
    QTest::newRow("under 8192 bytes") << addin("Addin", "Clock", "Shows time", 100, 5000)
                                      << QStringList{"warning short-file 5000"};
    QTest::newRow("control character in the class")
        << addin("\x1B:Addin") << QStringList{"error control-character 16"};
    QTest::newRow("control character in the name")
        << addin("Addin", "Clo\tck") << QStringList{"error control-character 26"};
    QTest::newRow("undefined Windows-1252 code in the description")
        << addin("Addin", "Clock", "Shows\x81time") << QStringList{"error control-character 35"};
    QTest::newRow("lone CR in the description")
        << addin("Addin", "Clock", "Shows\rtime") << QStringList{"error control-character 35"};
    QTest::newRow("CR LF in the description")
        << addin("Addin", "Clock", "Show\r\ntime") << QStringList{"warning description-crlf 34"};
    QTest::newRow("no LF after the class line's CR")
        << with(addin(), 22, ' ') << QStringList{"warning line-feed-missing 22"};
    QTest::newRow("no LF after the name's CR")
        << with(addin(), 29, '\r') << QStringList{"warning line-feed-missing 29"};
    QTest::newRow("empty name") << addin("Addin", "") << QStringList{"error empty-name 23"};
    QTest::newRow("word 1 neither size") << addin("Addin", "Clock", "Shows time", 100, 8192, 5)
                                         << QStringList{"warning word1-mismatch 41"};
    QTest::newRow("white icon") << addin("Addin", "Clock", "Shows time", 100, 8192, 100, '\0')
                                << QStringList{"warning white-icon 45"};
    QTest::newRow("only 0xFF after the header")
        << addin("Addin", "Clock", "Shows time", 0, 8192, 0) << QStringList{"error no-code 205"};
    QTest::newRow("nothing after the header")
        << addin("Addin", "Clock", "Shows time", 0, 0, 0)
        << QStringList{"error no-code 205", "warning short-file 205"};
}

void TestAddinCheck::findings() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    QStringList found;
    for (const AddinFinding& finding : AddinCheck::of(bytes)) {
        found << QStringLiteral("%1 %2 %3")
                     .arg(finding.severityText(), finding.id)
                     .arg(finding.offset);
        QVERIFY2(finding.sentence.front().isUpper() && finding.sentence.endsWith('.') &&
                     !finding.sentence.contains('\n'),
                 qPrintable(finding.sentence));
    }
    QCOMPARE(found, expected);
}

QTEST_GUILESS_MAIN(TestAddinCheck)
#include "tst_addincheck.moc"

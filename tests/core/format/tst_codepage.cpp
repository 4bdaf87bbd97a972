// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodePage.h"

#include <QSet>
#include <QStringDecoder>
#include <QtTest>

class TestCodePage : public QObject {
    Q_OBJECT

private slots:
    void everyByteMapsToOneCharacterAndBack();
    void characters_data();
    void characters();
    void agreesWithWindows1252();
    void unencodable_data();
    void unencodable();
};

void TestCodePage::everyByteMapsToOneCharacterAndBack() {
    QByteArray all;
    QSet<char16_t> seen;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(char(byte));
        const QChar ch = CodePage::toChar(quint8(byte));
        QVERIFY2(!seen.contains(ch.unicode()), qPrintable(QString::number(byte, 16)));
        seen.insert(ch.unicode());
        QCOMPARE(CodePage::toByte(ch), std::optional<quint8>(quint8(byte)));
    }
    const QString text = CodePage::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(CodePage::encode(text), all);
    QVERIFY(!CodePage::firstUnencodable(text));
}

void TestCodePage::characters_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");

    // The five bytes Windows-1252 leaves unassigned keep their own number.
    QTest::newRow("81 unassigned") << 0x81 << 0x0081;
    QTest::newRow("8D unassigned") << 0x8D << 0x008D;
    QTest::newRow("8F unassigned") << 0x8F << 0x008F;
    QTest::newRow("90 unassigned") << 0x90 << 0x0090;
    QTest::newRow("9D unassigned") << 0x9D << 0x009D;
    QTest::newRow("80 euro") << 0x80 << 0x20AC;
    QTest::newRow("96 en dash") << 0x96 << 0x2013;
    QTest::newRow("97 em dash") << 0x97 << 0x2014;
    QTest::newRow("8A S caron") << 0x8A << 0x0160;
    QTest::newRow("9F Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("00") << 0x00 << 0x0000;
    QTest::newRow("0D") << 0x0D << 0x000D;
    QTest::newRow("41 A") << 0x41 << 0x0041;
    QTest::newRow("7F DEL") << 0x7F << 0x007F;
    QTest::newRow("A0 no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("E9 e acute") << 0xE9 << 0x00E9;
    QTest::newRow("FF y diaeresis") << 0xFF << 0x00FF;
}

void TestCodePage::characters() {
    QFETCH(int, byte);
    QFETCH(int, unicode);
    QCOMPARE(int(CodePage::toChar(quint8(byte)).unicode()), unicode);
    QCOMPARE(CodePage::toByte(QChar(char16_t(unicode))), std::optional<quint8>(quint8(byte)));
}

void TestCodePage::agreesWithWindows1252() {
    QStringDecoder windows1252("windows-1252");
    if (!windows1252.isValid()) {
        QSKIP("this Qt has no Windows-1252 decoder to compare with");
    }
    const QList<int> unassigned = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
    for (int byte = 0; byte < 256; ++byte) {
        if (unassigned.contains(byte)) {
            continue;
        }
        const QString expected = windows1252(QByteArray(1, char(byte)));
        QCOMPARE(QString(CodePage::toChar(quint8(byte))), expected);
    }
}

void TestCodePage::unencodable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first"); // empty when every character has a byte

    QTest::newRow("plain") << "Shows time"
                           << "";
    QTest::newRow("Windows-1252 extras") << QString::fromUtf8("€–—ŠŸ™") << "";
    QTest::newRow("Latin-1") << QString::fromUtf8("Grüße à tous") << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("Chinese alone") << QString::fromUtf8("中") << QString::fromUtf8("中");
    QTest::newRow("Chinese inside") << QString::fromUtf8("Time中文") << QString::fromUtf8("中");
    QTest::newRow("emoji, whole code point")
        << QString::fromUtf8("Ti😀me") << QString::fromUtf8("😀");
    QTest::newRow("emoji before Chinese") << QString::fromUtf8("😀中") << QString::fromUtf8("😀");
    QTest::newRow("C1 control without a byte") << QString(QChar(0x0080)) << QString(QChar(0x0080));
    QTest::newRow("A macron") << QString::fromUtf8("xĀ") << QString::fromUtf8("Ā");
    QTest::newRow("lone high surrogate") << QString(QChar(0xD83D)) << QString(QChar(0xD83D));
}

void TestCodePage::unencodable() {
    QFETCH(QString, text);
    QFETCH(QString, first);

    const auto found = CodePage::firstUnencodable(text);
    QCOMPARE(found.value_or(QString()), first);
    if (first.isEmpty()) {
        QCOMPARE(CodePage::decode(CodePage::encode(text)), text);
    } else {
        QVERIFY(CodePage::encode(text).contains('?'));
    }
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"

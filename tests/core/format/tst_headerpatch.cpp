// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "HeaderPatch.h"
#include "TestFiles.h"

#include <QtTest>

using Outcome = HeaderPatch::Outcome;

class TestHeaderPatch : public QObject {
    Q_OBJECT

private slots:
    void written_data();
    void written();
    void refused_data();
    void refused();
    void fieldEndingAtTheLastByte();
};

void TestHeaderPatch::written_data() {
    QTest::addColumn<bool>("isName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("fieldBytes");

    QTest::newRow("Clock to Time") << true << "Time" << QByteArray("Time ");
    QTest::newRow("same name") << true << "Clock" << QByteArray("Clock");
    QTest::newRow("name emptied") << true << "" << QByteArray("     ");
    QTest::newRow("Windows-1252 characters")
        << true << QString::fromUtf8("é€–ÿ") + QChar(0x81) << QByteArray("\xE9\x80\x96\xFF\x81");
    QTest::newRow("description same length") << false << "Tells time" << QByteArray("Tells time");
    QTest::newRow("description shorter") << false << "Hi" << QByteArray("Hi        ");
    QTest::newRow("description with CR LF") << false << "a\r\nb" << QByteArray("a\r\nb      ");
}

void TestHeaderPatch::written() {
    QFETCH(bool, isName);
    QFETCH(QString, text);
    QFETCH(QByteArray, fieldBytes);

    const QByteArray original = TestFiles::addin("Clock", "Shows time");
    const AddinHeader before = AddinHeader::parse(original);
    const HeaderField field = isName ? *before.name : *before.description;
    QCOMPARE(field.length(), int(fieldBytes.size()));

    QByteArray image = original;
    const HeaderPatch patch = HeaderPatch::apply(image, field.start, field.length(), text);
    QCOMPARE(patch.outcome, Outcome::Written);

    // Exactly the field's bytes change; the terminators and everything else stay.
    QCOMPARE(image.size(), original.size());
    for (qsizetype i = 0; i < image.size(); ++i) {
        const qsizetype inField = i - (field.start - 1);
        const char expected =
            inField >= 0 && inField < fieldBytes.size() ? fieldBytes[inField] : original[i];
        QVERIFY2(image[i] == expected, qPrintable(QStringLiteral("byte at index %1").arg(i + 1)));
    }

    const AddinHeader after = AddinHeader::parse(image);
    QCOMPARE(after.problem, HeaderProblem::None);
    const HeaderField patched = isName ? *after.name : *after.description;
    const HeaderField other = isName ? *after.description : *after.name;
    QCOMPARE(patched.bytes, fieldBytes);
    QCOMPARE(patched.length(), field.length()); // the box's MaxLength stays the same
    QCOMPARE(other.bytes, (isName ? *before.description : *before.name).bytes);
    QCOMPARE(after.headSize, before.headSize);
    QCOMPARE(after.org, before.org);
    QCOMPARE(after.codeSize, before.codeSize);
}

void TestHeaderPatch::refused_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("character");

    // The Clock image: the name is 5 bytes from index 24, the image 8192 bytes long.
    QTest::newRow("empty field") << 24 << 0 << "Time" << Outcome::EmptyField << "";
    QTest::newRow("empty field, empty text") << 24 << 0 << "" << Outcome::EmptyField << "";
    QTest::newRow("too long") << 24 << 5 << "Clocks" << Outcome::TooLong << "";
    QTest::newRow("Chinese character")
        << 24 << 5 << QString::fromUtf8("中") << Outcome::Unencodable << QString::fromUtf8("中");
    QTest::newRow("emoji") << 24 << 5 << QString::fromUtf8("T😀") << Outcome::Unencodable
                           << QString::fromUtf8("😀");
    QTest::newRow("unencodable after good characters")
        << 24 << 5 << QString::fromUtf8("Tim中") << Outcome::Unencodable << QString::fromUtf8("中");
    QTest::newRow("start before the image") << 0 << 5 << "Time" << Outcome::OutsideImage << "";
    QTest::newRow("runs past the end") << 8190 << 5 << "Time" << Outcome::OutsideImage << "";
    QTest::newRow("starts past the end") << 9000 << 5 << "Time" << Outcome::OutsideImage << "";
}

void TestHeaderPatch::refused() {
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, text);
    QFETCH(Outcome, outcome);
    QFETCH(QString, character);

    const QByteArray original = TestFiles::addin("Clock", "Shows time");
    QByteArray image = original;
    const HeaderPatch patch = HeaderPatch::apply(image, start, length, text);
    QCOMPARE(patch.outcome, outcome);
    QCOMPARE(patch.character, character);
    QCOMPARE(image, original);
}

void TestHeaderPatch::fieldEndingAtTheLastByte() {
    const QByteArray original(20, 'x');
    QByteArray image = original;
    QCOMPARE(HeaderPatch::apply(image, 16, 5, QStringLiteral("ab")).outcome, Outcome::Written);
    QCOMPARE(image, QByteArray(15, 'x') + "ab   ");
}

QTEST_GUILESS_MAIN(TestHeaderPatch)
#include "tst_headerpatch.moc"

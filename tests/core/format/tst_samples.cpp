// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "AddinImage.h"
#include "TestFiles.h"

#include <QFile>
#include <QtTest>

// The committed sample add-ins, written by the sample generator on its own, read back by the
// program's parser: both must agree on every field.
class TestSamples : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void unpaddedClockPadsToClock();

private:
    static QByteArray sample(const QString& name);
};

QByteArray TestSamples::sample(const QString& name) {
    QFile file(qEnvironmentVariable("MOBRIN_SAMPLES") + QLatin1Char('/') + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestSamples::parse_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<HeaderProblem>("problem");
    QTest::addColumn<QString>("classText");
    QTest::addColumn<QString>("addinType");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("word1");
    QTest::addColumn<int>("word2");
    QTest::addColumn<int>("headSize");
    QTest::addColumn<int>("org");
    QTest::addColumn<int>("codeSize");

    const auto none = HeaderProblem::None;
    QTest::newRow("clock") << "clock.rex" << 8192 << none << "Addin"
                           << "ADDIN"
                           << "Clock"
                           << "Shows time" << 0x1234 << 0 << 205 << 0x7F35 << 4795;
    QTest::newRow("clock unpadded") << "clock-unpadded.rex" << 5000 << none << "Addin"
                                    << "ADDIN"
                                    << "Clock"
                                    << "Shows time" << 0x1234 << 0 << 205 << 0x7F35 << 4795;
    QTest::newRow("game") << "game.rex" << 8192 << none << "Game:addin"
                          << "ADDIN"
                          << "Blocks"
                          << "Falling blocks game" << 3000 << 0x8000 << 220 << 32550 << 3000;
    QTest::newRow("data") << "data.DS2" << 8192 << none << "DATA"
                          << "DATA"
                          << ""
                          << "" << -1 << -1 << 22 << 0 << 0;
    QTest::newRow("not an add-in") << "not-an-addin.rex" << 181 << HeaderProblem::NoSignature << ""
                                   << ""
                                   << ""
                                   << "" << -1 << -1 << 0 << 0 << 0;
    QTest::newRow("empty name") << "empty-name.rex" << 8192 << none << "ADDIN"
                                << "ADDIN"
                                << ""
                                << "This add-in has no name" << 0x0100 << 0 << 213 << 32557 << 600;
}

void TestSamples::parse() {
    QFETCH(QString, file);
    QFETCH(int, fileSize);
    QFETCH(HeaderProblem, problem);
    QFETCH(QString, classText);
    QFETCH(QString, addinType);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(int, word1);
    QFETCH(int, word2);
    QFETCH(int, headSize);
    QFETCH(int, org);
    QFETCH(int, codeSize);

    const QByteArray image = sample(file);
    QCOMPARE(image.size(), fileSize);
    const AddinHeader header = AddinHeader::parse(image);
    QCOMPARE(header.problem, problem);
    QCOMPARE(header.classLine ? header.classLine->text() : QString(), classText);
    QCOMPARE(header.addinType.value_or(QString()), addinType);
    QCOMPARE(header.name ? header.name->text() : QString(), name);
    QCOMPARE(header.description ? header.description->text() : QString(), description);
    QCOMPARE(header.word1 ? int(*header.word1) : -1, word1);
    QCOMPARE(header.word2 ? int(*header.word2) : -1, word2);
    QCOMPARE(header.headSize, headSize);
    QCOMPARE(header.org, org);
    QCOMPARE(header.codeSize, codeSize);
    if (header.isAddin()) {
        // A drawn icon, not an empty one.
        QCOMPARE(header.icon.size(), 160);
        QVERIFY(header.icon.count(char(0)) < 150);
        QCOMPARE(header.name->start, 16 + classText.size() + 3);
    }
}

void TestSamples::unpaddedClockPadsToClock() {
    TestFiles files;
    const QString path = files.write(QStringLiteral("clock.rex"), sample("clock-unpadded.rex"));
    QVERIFY(AddinImage::padOnDisk(path, 5000));
    QCOMPARE(TestFiles::read(path), sample("clock.rex"));
}

QTEST_GUILESS_MAIN(TestSamples)
#include "tst_samples.moc"

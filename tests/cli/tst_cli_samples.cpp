// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "CliRun.h"
#include "DumpText.h"
#include "TestFiles.h"
#include "WindowView.h"

#include <QtTest>

namespace {

QString sample(const QString& name) {
    return qEnvironmentVariable("MOBRIN_SAMPLES") + QLatin1Char('/') + name;
}

} // namespace

// Every read-only command on every committed sample, and the writing ones on copies.
class CliSamples : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readOnly_data();
    void readOnly();
    void padMakesThePaddedSample();
    void patchKeepsTheLayout();
};

void CliSamples::initTestCase() {
    QVERIFY2(QFile::exists(sample("clock.rex")), qPrintable(sample("clock.rex")));
}

void CliSamples::readOnly_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("infoCode"); // also the code of icon, which needs an add-in
    QTest::addColumn<QString>("nameLine");

    QTest::newRow("clock.rex") << "clock.rex" << 0 << "name: Clock";
    QTest::newRow("clock-unpadded.rex") << "clock-unpadded.rex" << 0 << "name: Clock";
    QTest::newRow("game.rex") << "game.rex" << 0 << "name: Blocks";
    QTest::newRow("empty-name.rex") << "empty-name.rex" << 0 << "name: ";
    QTest::newRow("data.DS2") << "data.DS2" << 4 << QString();
    QTest::newRow("not-an-addin.rex") << "not-an-addin.rex" << 4 << QString();
}

void CliSamples::readOnly() {
    QFETCH(QString, name);
    QFETCH(int, infoCode);
    QFETCH(QString, nameLine);

    const QString path = sample(name);
    const QByteArray bytes = TestFiles::read(path);
    const AddinHeader header = AddinHeader::parse(bytes);

    const CliRun info({"info", path});
    QCOMPARE(info.code, infoCode);
    if (!nameLine.isEmpty()) {
        QVERIFY2(WindowView::printedLines(info.out).contains(nameLine), info.out.constData());
    }

    const CliRun dump({"dump", path});
    QCOMPARE(dump.code, 0);
    QCOMPARE(WindowView::printedLines(dump.out), WindowView::dumpLines(bytes));

    const CliRun stripped({"dump", path, "--strip-header"});
    if (header.complete()) {
        QCOMPARE(stripped.code, 0);
        QCOMPARE(WindowView::printedLines(stripped.out),
                 WindowView::dumpLines(DumpText::renderedRange(bytes, true, header.headSize)));
    } else {
        QCOMPARE(stripped.code, 4);
    }

    const CliRun icon({"icon", path});
    QCOMPARE(icon.code, infoCode);
    if (infoCode == 0) {
        QCOMPARE(icon.out, WindowView::iconText(header.icon).toUtf8());
    }
    QCOMPARE(TestFiles::read(path), bytes);
}

void CliSamples::padMakesThePaddedSample() {
    TestFiles files;
    const QString copy = files.write("copy.rex", TestFiles::read(sample("clock-unpadded.rex")));
    const CliRun run({"pad", copy});
    QCOMPARE(run.code, 0);
    QCOMPARE(TestFiles::read(copy), TestFiles::read(sample("clock.rex")));
}

void CliSamples::patchKeepsTheLayout() {
    TestFiles files;
    const QByteArray game = TestFiles::read(sample("game.rex"));
    const QString out = files.path("out.rex");
    const CliRun run({"patch", sample("game.rex"), "--name", "Tiles", "-o", out});
    QCOMPARE(run.code, 0);
    QCOMPARE(TestFiles::read(sample("game.rex")), game);
    const QByteArray patched = TestFiles::read(out);
    const AddinHeader before = AddinHeader::parse(game);
    const AddinHeader after = AddinHeader::parse(patched);
    QCOMPARE(after.name->text(), QString("Tiles "));
    QCOMPARE(after.headSize, before.headSize);
    QByteArray expected = game;
    expected.replace(before.name->start - 1, 6, "Tiles ");
    QCOMPARE(patched, expected);
}

QTEST_GUILESS_MAIN(CliSamples)
#include "tst_cli_samples.moc"

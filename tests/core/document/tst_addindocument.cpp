// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinDocument.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QtTest>

// The document alone: what each command leaves in the image, the flag, the path, the parsed
// header and the file on disk, and which changes it announces.
class AddinDocumentTest : public QObject {
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
};

void AddinDocumentTest::commands_data() {
    // Steps: "load NAME" (a file written as clock.rex or other.rex holds), "name TEXT",
    // "description TEXT", "icon COUNT HEX" (COUNT bytes of value HEX), "save", "save as PATH"
    // (relative to the test folder, or absolute).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("patched");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("onDisk");       // the name the file at `path` holds, if any
    QTest::addColumn<QList<int>>("announced"); // replaced, patched, path changed
    QTest::addColumn<QByteArray>("icon");      // the icon the parsed header holds
    const QByteArray drawn = TestFiles::icon();
    const QByteArray black(AddinHeader::kIconBytes, char(0xFF));

    QTest::newRow("open") << QStringList{"load clock.rex"} << false << "Clock"
                          << "clock.rex"
                          << "Clock" << QList<int>{1, 0, 1} << drawn;
    QTest::newRow("patch") << QStringList{"load clock.rex", "name Time"} << true << "Time "
                           << "clock.rex"
                           << "Clock" << QList<int>{1, 1, 1} << drawn;
    QTest::newRow("patch the description")
        << QStringList{"load clock.rex", "description Ticks"} << true << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 1, 1} << drawn;
    QTest::newRow("failed patch: no Windows-1252 code")
        << QStringList{"load clock.rex", QStringLiteral("name \u23F0")} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 0, 1} << drawn;
    QTest::newRow("failed patch: longer than the field")
        << QStringList{"load clock.rex", "name Stopwatch"} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 0, 1} << drawn;
    QTest::newRow("failed patch: a data file has no name")
        << QStringList{"load data.DS2", "name Time"} << false << ""
        << "data.DS2"
        << "" << QList<int>{1, 0, 1} << QByteArray();
    QTest::newRow("open after a patch")
        << QStringList{"load clock.rex", "name Time", "load other.rex"} << false << "Other"
        << "other.rex"
        << "Other" << QList<int>{2, 1, 2} << drawn;
    QTest::newRow("the same file again after a patch")
        << QStringList{"load clock.rex", "name Time", "load clock.rex"} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{2, 1, 1} << drawn;
    QTest::newRow("save") << QStringList{"load clock.rex", "name Time", "save"} << false << "Time "
                          << "clock.rex"
                          << "Time " << QList<int>{1, 1, 1} << drawn;
    QTest::newRow("save as") << QStringList{"load clock.rex", "name Time", "save as copy.rex"}
                             << false << "Time "
                             << "copy.rex"
                             << "Time " << QList<int>{1, 1, 2} << drawn;
    // /proc takes no new file: the new path stays for the next save, and so do the changes.
    QTest::newRow("failed save as")
        << QStringList{"load clock.rex", "name Time", "save as /proc/mobrin-document.rex"} << true
        << "Time "
        << "/proc/mobrin-document.rex"
        << "" << QList<int>{1, 1, 2} << drawn;
    QTest::newRow("patch the icon")
        << QStringList{"load clock.rex", "icon 160 ff"} << true << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 1, 1} << black;
    QTest::newRow("failed icon patch: not 160 bytes")
        << QStringList{"load clock.rex", "icon 159 ff"} << false << "Clock"
        << "clock.rex"
        << "Clock" << QList<int>{1, 0, 1} << drawn;
    QTest::newRow("failed icon patch: a data file has no icon")
        << QStringList{"load data.DS2", "icon 160 ff"} << false << ""
        << "data.DS2"
        << "" << QList<int>{1, 0, 1} << QByteArray();
}

void AddinDocumentTest::commands() {
    QFETCH(QStringList, steps);
    QFETCH(bool, patched);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QFETCH(QString, onDisk);
    QFETCH(QList<int>, announced);
    QFETCH(QByteArray, icon);

    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    files.write(QStringLiteral("clock.rex"), clock);
    files.write(QStringLiteral("other.rex"), TestFiles::addin("Other", "Other text"));
    files.write(QStringLiteral("data.DS2"), TestFiles::addin("", "", 100, 8192, "DATA"));
    const auto inFolder = [&](const QString& name) {
        return name.startsWith(QLatin1Char('/')) ? name : files.path(name);
    };

    AddinDocument document;
    QSignalSpy replaced(&document, &AddinDocument::replaced);
    QSignalSpy patches(&document, &AddinDocument::patched);
    QSignalSpy pathChanges(&document, &AddinDocument::pathChanged);
    for (const QString& step : steps) {
        const QString argument = step.section(QLatin1Char(' '), 1);
        if (step.startsWith(QLatin1String("load "))) {
            document.load(AddinImage(TestFiles::read(files.path(argument)), files.path(argument)));
        } else if (step.startsWith(QLatin1String("name "))) {
            document.patch(AddinDocument::Field::Name, argument);
        } else if (step.startsWith(QLatin1String("description "))) {
            document.patch(AddinDocument::Field::Description, argument);
        } else if (step.startsWith(QLatin1String("icon "))) {
            document.patchIcon(
                QByteArray(step.section(QLatin1Char(' '), 1, 1).toInt(),
                           char(step.section(QLatin1Char(' '), 2).toInt(nullptr, 16))));
        } else if (step == QLatin1String("save")) {
            QVERIFY(document.save());
        } else if (step.startsWith(QLatin1String("save as "))) {
            document.saveAs(inFolder(step.section(QLatin1Char(' '), 2)));
        }
    }

    QCOMPARE(document.isPatched(), patched);
    QCOMPARE(document.header().name ? document.header().name->text() : QString(), name);
    QCOMPARE(document.path(), inFolder(path));
    // The parsed header always describes the image as it is now.
    QCOMPARE(document.header().headSize, AddinHeader::parse(document.image().bytes()).headSize);
    QCOMPARE(document.header().icon, icon);
    QCOMPARE(AddinHeader::parse(document.image().bytes()).icon, icon);
    const AddinHeader saved = AddinHeader::parse(TestFiles::read(document.path()));
    QCOMPARE(saved.name ? saved.name->text() : QString(), onDisk);
    QCOMPARE(TestFiles::read(files.path(QStringLiteral("clock.rex"))).size(), clock.size());
    QCOMPARE((QList<int>{int(replaced.size()), int(patches.size()), int(pathChanges.size())}),
             announced);
}

QTEST_GUILESS_MAIN(AddinDocumentTest)
#include "tst_addindocument.moc"

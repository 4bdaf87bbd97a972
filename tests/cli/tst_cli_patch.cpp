// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "CliRun.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"

#include <QtTest>

namespace {

constexpr int kNameStart = 24;        // image index of "Clock" in TestFiles::addin()
constexpr int kDescriptionStart = 31; // image index of "Shows time"

// `bytes` with `field` written at 1-based `start`: what a patch must leave, byte for byte.
QByteArray overwritten(QByteArray bytes, int start, const QByteArray& field) {
    bytes.replace(start - 1, field.size(), field);
    return bytes;
}

} // namespace

class CliPatch : public QObject {
    Q_OBJECT

private slots:
    void writesTheField_data();
    void writesTheField();
    void toAnotherFile();
    void refused_data();
    void refused();
    void failedWriteKeepsTheFile();
};

void CliPatch::writesTheField_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray clock = TestFiles::addin();
    QTest::newRow("Clock to Time: padded with a space")
        << QStringList{"--name", "Time"} << overwritten(clock, kNameStart, "Time ");
    QTest::newRow("same length") << QStringList{"--name", "Watch"}
                                 << overwritten(clock, kNameStart, "Watch");
    QTest::newRow("empty text: all spaces")
        << QStringList{"--name", ""} << overwritten(clock, kNameStart, "     ");
    QTest::newRow("Windows-1252 characters") << QStringList{"--name", QString::fromUtf8("€é–Ÿ")}
                                             << overwritten(clock, kNameStart, "\x80\xE9\x96\x9F ");
    QTest::newRow("a text that looks like an option")
        << QStringList{"--name", "-o"} << overwritten(clock, kNameStart, "-o   ");
    QTest::newRow("description") << QStringList{"--description", "Tells time"}
                                 << overwritten(clock, kDescriptionStart, "Tells time");
    QTest::newRow("both") << QStringList{"--description", "Alarm", "--name=Bell"}
                          << overwritten(overwritten(clock, kNameStart, "Bell "), kDescriptionStart,
                                         "Alarm     ");
}

void CliPatch::writesTheField() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, expected);

    TestFiles files;
    const QString path = files.write("a.rex", TestFiles::addin());
    const CliRun run(QStringList{"patch", path} + options);
    QCOMPARE(run.code, 0);
    QVERIFY(run.out.isEmpty());
    QVERIFY(run.err.isEmpty());
    QCOMPARE(TestFiles::read(path), expected);
    // The header keeps its size and layout.
    const AddinHeader header = AddinHeader::parse(expected);
    QCOMPARE(header.headSize, 205);
    QCOMPARE(header.name->length(), 5);
    QCOMPARE(header.description->length(), 10);
}

void CliPatch::toAnotherFile() {
    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    const QString path = files.write("a.rex", clock);
    const QString out = files.write("out.rex", QByteArray(9000, 'o')); // a longer old file
    const CliRun run({"patch", path, "-o", out, "--name", "Time"});
    QCOMPARE(run.code, 0);
    QCOMPARE(TestFiles::read(path), clock);
    QCOMPARE(TestFiles::read(out), overwritten(clock, kNameStart, "Time "));
}

void CliPatch::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    const QByteArray clock = TestFiles::addin();
    QTest::newRow("name longer than its field")
        << clock << QStringList{"--name", "Clocks"} << 5 << "6 characters";
    QTest::newRow("description longer than its field")
        << clock << QStringList{"--description", "Shows times"} << 5 << "11 characters";
    QTest::newRow("a Chinese character") << clock << QStringList{"--name", QString::fromUtf8("時")}
                                         << 5 << QString::fromUtf8("\"時\" (U+6642)");
    QTest::newRow("an emoji, named whole")
        << clock << QStringList{"--description", QString::fromUtf8("ok 🙂")} << 5
        << QString::fromUtf8("\"🙂\" (U+1F642)");
    QTest::newRow("a line break in the name")
        << clock << QStringList{"--name", "Ti\rme"} << 5 << "U+000D";
    QTest::newRow("an empty field") << TestFiles::addin("", "Shows time")
                                    << QStringList{"--name", "X"} << 5 << "no bytes to patch";
    QTest::newRow("an empty field, even with an empty text")
        << TestFiles::addin("Clock", "") << QStringList{"--description", ""} << 5
        << "no bytes to patch";
    QTest::newRow("good name, refused description: nothing written")
        << clock << QStringList{"--name", "Time", "--description", "Shows the time"} << 5
        << "description";
    QTest::newRow("refused name, good description: nothing written")
        << clock << QStringList{"--description", "Alarm", "--name", "Clockwork"} << 5 << "name";
    QTest::newRow("class DATA") << QByteArray("ApplicationName:DATA\r\nName\r\n")
                                << QStringList{"--name", "X"} << 4 << "DATA";
    QTest::newRow("damaged header")
        << clock.left(150) << QStringList{"--name", "X"} << 4 << "damaged";
    QTest::newRow("no signature") << QByteArray(200, 'c') << QStringList{"--name", "X"} << 4
                                  << "Not a REX AddIn file";
    QTest::newRow("nothing to patch") << clock << QStringList{} << 2 << "--name";
    QTest::newRow("-o without a name") << clock << QStringList{"--name", "X", "-o"} << 2 << "-o";
    QTest::newRow("-o with an empty name")
        << clock << QStringList{"--name", "X", "-o", ""} << 2 << "-o";
    QTest::newRow("-o to a folder")
        << clock << QStringList{"--name", "X", "-o", "@"} << 6 << "cannot write";
    QTest::newRow("-o where no file can be made")
        << clock << QStringList{"--name", "X", "-o", "/proc/mobrin.rex"} << 6 << "cannot write";
}

void CliPatch::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QString, says);

    TestFiles files;
    const QString path = files.write("a.rex", bytes);
    options.replaceInStrings("@", files.path(QString()));
    const CliRun run(QStringList{"patch", path} + options);
    QCOMPARE(run.code, code);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QVERIFY2(QString::fromUtf8(run.err).contains(says), run.err.constData());
    QCOMPARE(TestFiles::read(path), bytes);
    QCOMPARE(QDir(files.path(QString())).entryList(QDir::Files), QStringList{"a.rex"});
}

void CliPatch::failedWriteKeepsTheFile() {
    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    const QString path = files.write("a.rex", clock);
    CliRun run({});
    {
        const FileSizeLimit limit(1000);
        run = CliRun({"patch", path, "--name", "Time"});
    }
    QCOMPARE(run.code, 6);
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QVERIFY2(run.err.endsWith("cannot write the patched add-in: File too large\n"),
             run.err.constData());
    QCOMPARE(TestFiles::read(path), clock);
    QCOMPARE(QDir(files.path(QString())).entryList(QDir::Files), QStringList{"a.rex"});
}

QTEST_GUILESS_MAIN(CliPatch)
#include "tst_cli_patch.moc"

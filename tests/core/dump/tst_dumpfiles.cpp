// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpFiles.h"
#include "DumpText.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

class TestDumpFiles : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void shorterTextReplacesTheFiles();
    void privateFolder();
    void chosenFolderKeepsOtherFiles();
    void unwritableFolder_data();
    void unwritableFolder();
    void sizeLimit_data();
    void sizeLimit();
};

void TestDumpFiles::roundTrip_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("asciiFile"); // the ASCII file's bytes on disk

    QTest::newRow("empty range") << QByteArray() << QByteArray();
    QTest::newRow("mapping") << QByteArray("\x20\x2D\x2E\x41\x7F\x80\x00", 7)
                             << QByteArray("_\x96.A\x7F..");
    QTest::newRow("17 bytes") << QByteArray("ApplicationName:A") << QByteArray("ApplicationName:A");
    QByteArray all;
    QByteArray allAscii;
    for (int byte = 0; byte < 256; ++byte) {
        all.append(char(byte));
        allAscii.append(byte == 0x20                   ? '_'
                        : byte == 0x2D                 ? '\x96'
                        : byte >= 0x21 && byte <= 0x7F ? char(byte)
                                                       : '.');
    }
    QTest::newRow("every byte") << all << allAscii;
}

void TestDumpFiles::roundTrip() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, asciiFile);

    const QString hex = DumpText::hexText(bytes);
    const QString ascii = DumpText::asciiText(bytes);
    DumpFiles files;
    const auto texts = files.roundTrip(hex, ascii);
    QVERIFY(texts);
    QCOMPARE(texts->hex, hex);
    QCOMPARE(texts->ascii, ascii);

    // One byte a character, no line terminators: 3n and n bytes.
    const QByteArray hexOnDisk = TestFiles::read(files.hexPath());
    const QByteArray asciiOnDisk = TestFiles::read(files.asciiPath());
    QCOMPARE(hexOnDisk.size(), 3 * bytes.size());
    QCOMPARE(hexOnDisk, hex.toLatin1());
    QCOMPARE(asciiOnDisk, asciiFile);
    QCOMPARE(QFileInfo(files.hexPath()).fileName(), QStringLiteral("~HEXtmp"));
    QCOMPARE(QFileInfo(files.asciiPath()).fileName(), QStringLiteral("~ASCtmp"));
}

void TestDumpFiles::shorterTextReplacesTheFiles() {
    DumpFiles files;
    QVERIFY(files.roundTrip(QStringLiteral("41 42 43 "), QStringLiteral("ABC")));
    const auto texts = files.roundTrip(QStringLiteral("41 "), QStringLiteral("A"));
    QVERIFY(texts);
    QCOMPARE(texts->ascii, QStringLiteral("A"));
    QCOMPARE(TestFiles::read(files.hexPath()), QByteArray("41 "));
    QCOMPARE(TestFiles::read(files.asciiPath()), QByteArray("A"));
}

void TestDumpFiles::privateFolder() {
    QString folder;
    {
        DumpFiles first;
        DumpFiles second;
        folder = first.folder();
        QVERIFY(!folder.isEmpty());
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(second.folder() != folder); // two running copies never share their files
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(folder).permissions() & others, QFile::Permissions());
        QVERIFY(first.roundTrip(QStringLiteral("00 "), QStringLiteral(".")));
        QVERIFY(QFile::exists(first.hexPath()));
    }
    QVERIFY(!QFileInfo::exists(folder));
}

void TestDumpFiles::chosenFolderKeepsOtherFiles() {
    TestFiles scratch;
    const QString other = scratch.write(QStringLiteral("keep.txt"), "kept");
    QString hexPath;
    {
        DumpFiles files(QFileInfo(other).absolutePath());
        hexPath = files.hexPath();
        QVERIFY(files.roundTrip(QStringLiteral("00 "), QStringLiteral(".")));
        QVERIFY(QFile::exists(hexPath));
    }
    QVERIFY(!QFile::exists(hexPath));
    QVERIFY(!QFile::exists(scratch.path(QStringLiteral("~ASCtmp"))));
    QCOMPARE(TestFiles::read(other), QByteArray("kept"));
}

void TestDumpFiles::unwritableFolder_data() {
    QTest::addColumn<QString>("below"); // the folder, relative to a scratch folder

    QTest::newRow("below a regular file") << "plain-file/sub";
    QTest::newRow("a regular file as the folder") << "plain-file";
    QTest::newRow("missing folder") << "missing/deeper";
}

void TestDumpFiles::unwritableFolder() {
    QFETCH(QString, below);

    TestFiles scratch;
    scratch.write(QStringLiteral("plain-file"), "not a folder");
    DumpFiles files(scratch.path(below));
    QVERIFY(!files.roundTrip(QStringLiteral("41 "), QStringLiteral("A")));
    QCOMPARE(TestFiles::read(scratch.path(QStringLiteral("plain-file"))),
             QByteArray("not a folder"));
}

void TestDumpFiles::sizeLimit_data() {
    QTest::addColumn<int>("limit"); // bytes any file may hold (ulimit -f)
    QTest::addColumn<int>("size");  // bytes rendered; the hex text is three times as long
    QTest::addColumn<bool>("fits");

    QTest::newRow("nothing may be written") << 0 << 100 << false;
    QTest::newRow("the hex text is cut short in the buffer") << 250 << 100 << false;
    QTest::newRow("ulimit -f 23, a whole add-in") << 23 * 512 << 8192 << false;
    QTest::newRow("one byte short") << 3 * 8192 - 1 << 8192 << false;
    QTest::newRow("just enough") << 3 * 8192 << 8192 << true;
}

// A write cut short by a file-size limit is a failure like any other, whether it stopped in
// a buffered write or a direct one, and never a shorter text shown as if it were whole.
void TestDumpFiles::sizeLimit() {
    QFETCH(int, limit);
    QFETCH(int, size);
    QFETCH(bool, fits);

    QByteArray bytes;
    for (int i = 0; i < size; ++i) {
        bytes.append(char(i * 7));
    }
    DumpFiles files;
    std::optional<DumpFiles::Texts> texts;
    {
        const FileSizeLimit cap{rlim_t(limit)};
        QVERIFY(cap.active());
        texts = files.roundTrip(DumpText::hexText(bytes), DumpText::asciiText(bytes));
    }
    QCOMPARE(bool(texts), fits);
    if (fits) {
        QCOMPARE(texts->hex, DumpText::hexText(bytes));
    }
}

QTEST_GUILESS_MAIN(TestDumpFiles)
#include "tst_dumpfiles.moc"

#include "AddinImage.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using ProbeOutcome = AddinImage::ProbeOutcome;

namespace {

QByteArray pattern(int size, int seed = 0) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i) {
        bytes.append(char((i * 31 + seed) % 251));
    }
    return bytes;
}

// A FIFO must never block: if a call did wait for a writer, the alarm ends the test program
// instead of hanging it.
class NoBlocking {
public:
    NoBlocking() { ::alarm(10); }
    ~NoBlocking() { ::alarm(0); }
    NoBlocking(const NoBlocking&) = delete;
    NoBlocking& operator=(const NoBlocking&) = delete;
};

QStringList entries(const TestFiles& files) {
    return QDir(files.path(QString()))
        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

class TestAddinImage : public QObject {
    Q_OBJECT

private slots:
    void probe_data();
    void probe();
    void fifoNeverBlocks();
    void padOnDisk_data();
    void padOnDisk();
    void padOnDiskFailure();
    void readFile_data();
    void readFile();
    void writeReplacesALongerFile();
    void writeCreatesANewFile();
    void writeKeepsPermissions_data();
    void writeKeepsPermissions();
    void writeThroughASymlink();
    void writeIntoProcFails_data();
    void writeIntoProcFails();
    void writeCutShortLeavesTheOldFile();
};

void TestAddinImage::probe_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("size");
    QTest::addColumn<ProbeOutcome>("outcome");

    QTest::newRow("missing") << "missing" << 0 << ProbeOutcome::Missing;
    QTest::newRow("directory") << "directory" << 0 << ProbeOutcome::NotRegularFile;
    QTest::newRow("FIFO") << "fifo" << 0 << ProbeOutcome::NotRegularFile;
    QTest::newRow("empty") << "file" << 0 << ProbeOutcome::Ok;
    QTest::newRow("8191") << "file" << 8191 << ProbeOutcome::Ok;
    QTest::newRow("9000") << "file" << 9000 << ProbeOutcome::Ok;
    QTest::newRow("9001") << "file" << 9001 << ProbeOutcome::TooLong;
    QTest::newRow("100000") << "file" << 100000 << ProbeOutcome::TooLong;
    QTest::newRow("link to a file") << "link" << 5000 << ProbeOutcome::Ok;
    QTest::newRow("dangling link") << "dangling" << 0 << ProbeOutcome::Missing;
    QTest::newRow("device") << "/dev/null" << 0 << ProbeOutcome::NotRegularFile;
}

void TestAddinImage::probe() {
    QFETCH(QString, kind);
    QFETCH(int, size);
    QFETCH(ProbeOutcome, outcome);

    TestFiles files;
    QString path = files.path(QStringLiteral("addin.rex"));
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("file")) {
        files.write(QStringLiteral("addin.rex"), pattern(size));
    } else if (kind == QLatin1String("link")) {
        files.write(QStringLiteral("target.rex"), pattern(size));
        QVERIFY(QFile::link(QStringLiteral("target.rex"), path));
    } else if (kind == QLatin1String("dangling")) {
        QVERIFY(QFile::link(QStringLiteral("nowhere.rex"), path));
    } else if (kind.startsWith(QLatin1Char('/'))) {
        path = kind;
    }

    const NoBlocking guard;
    const AddinImage::Probe probe = AddinImage::probe(path);
    QCOMPARE(probe.outcome, outcome);
    if (outcome == ProbeOutcome::Ok || outcome == ProbeOutcome::TooLong) {
        QCOMPARE(probe.size, qint64(size));
    }
}

void TestAddinImage::fifoNeverBlocks() {
    TestFiles files;
    const QString path = files.path(QStringLiteral("pipe.rex"));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    const NoBlocking guard;
    QVERIFY(!AddinImage::readFile(path, 0));
    QVERIFY(!AddinImage::readFile(path, 100));
    QVERIFY(!AddinImage::padOnDisk(path, 0));
    QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
}

void TestAddinImage::padOnDisk_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("paddedSize");

    QTest::newRow("8191 gets one 0xFF") << 8191 << 8192;
    QTest::newRow("5000") << 5000 << 8192;
    QTest::newRow("empty") << 0 << 8192;
    QTest::newRow("8192 stays") << 8192 << 8192;
    QTest::newRow("9000 stays") << 9000 << 9000;
}

void TestAddinImage::padOnDisk() {
    QFETCH(int, size);
    QFETCH(int, paddedSize);

    TestFiles files;
    const QByteArray original = pattern(size, 7);
    const QString path = files.write(QStringLiteral("addin.rex"), original);
    QCOMPARE(AddinImage::paddingFor(size), qint64(paddedSize - size));
    QVERIFY(AddinImage::padOnDisk(path, size));

    const QByteArray onDisk = TestFiles::read(path);
    QCOMPARE(onDisk.size(), paddedSize);
    QCOMPARE(onDisk.left(size), original);
    QCOMPARE(onDisk.mid(size), QByteArray(paddedSize - size, char(0xFF)));
}

void TestAddinImage::padOnDiskFailure() {
    TestFiles files;
    QVERIFY(!AddinImage::padOnDisk(files.path(QStringLiteral("missing.rex")), 100));
    QVERIFY(!QFile::exists(files.path(QStringLiteral("missing.rex"))));
    QVERIFY(QDir().mkdir(files.path(QStringLiteral("folder.rex"))));
    QVERIFY(!AddinImage::padOnDisk(files.path(QStringLiteral("folder.rex")), 0));
    QVERIFY(!AddinImage::padOnDisk(QStringLiteral("/proc/version"), 100));
}

void TestAddinImage::readFile_data() {
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<int>("requested");
    QTest::addColumn<bool>("ok");

    QTest::newRow("whole 8192") << 8192 << 8192 << true;
    QTest::newRow("whole 9000") << 9000 << 9000 << true;
    QTest::newRow("empty") << 0 << 0 << true;
    QTest::newRow("first 5000 of 8192") << 8192 << 5000 << true;
    QTest::newRow("more than the file holds") << 5000 << 8192 << false;
    QTest::newRow("over the limit") << 9001 << 9001 << false;
}

void TestAddinImage::readFile() {
    QFETCH(int, fileSize);
    QFETCH(int, requested);
    QFETCH(bool, ok);

    TestFiles files;
    const QByteArray bytes = pattern(fileSize, 3);
    const QString path = files.write(QStringLiteral("addin.rex"), bytes);
    const auto read = AddinImage::readFile(path, requested);
    QCOMPARE(bool(read), ok);
    if (ok) {
        QCOMPARE(*read, bytes.left(requested));
    }
}

void TestAddinImage::writeReplacesALongerFile() {
    TestFiles files;
    const QString path = files.write(QStringLiteral("addin.rex"), pattern(9000, 1));
    const QByteArray image = pattern(8192, 2);
    QVERIFY(AddinImage::writeFile(path, image));
    QCOMPARE(TestFiles::read(path), image);
    QCOMPARE(entries(files), QStringList{QStringLiteral("addin.rex")});
}

void TestAddinImage::writeCreatesANewFile() {
    TestFiles files;
    const QString path = files.path(QStringLiteral("new.rex"));
    QVERIFY(AddinImage::writeFile(path, pattern(100)));
    QCOMPARE(TestFiles::read(path), pattern(100));
    QVERIFY(!AddinImage::writeFile(QString(), pattern(100)));
}

void TestAddinImage::writeKeepsPermissions_data() {
    QTest::addColumn<int>("mode");

    QTest::newRow("0600") << 0600;
    QTest::newRow("0640") << 0640;
    QTest::newRow("0754") << 0754;
}

void TestAddinImage::writeKeepsPermissions() {
    QFETCH(int, mode);

    TestFiles files;
    const QString path = files.write(QStringLiteral("addin.rex"), pattern(8192, 1));
    const QByteArray native = QFile::encodeName(path);
    QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
    QVERIFY(AddinImage::writeFile(path, pattern(8192, 2)));

    struct stat info {};
    QCOMPARE(::stat(native.constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 07777), mode);
    QCOMPARE(TestFiles::read(path), pattern(8192, 2));
}

void TestAddinImage::writeThroughASymlink() {
    TestFiles files;
    QVERIFY(QDir().mkdir(files.path(QStringLiteral("real"))));
    const QString target = files.write(QStringLiteral("real/addin.rex"), pattern(9000, 1));
    const QString link = files.path(QStringLiteral("link.rex"));
    QVERIFY(QFile::link(QStringLiteral("real/addin.rex"), link));

    QVERIFY(AddinImage::writeFile(link, pattern(8192, 2)));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(QFile::symLinkTarget(link), QFileInfo(target).absoluteFilePath());
    QCOMPARE(TestFiles::read(target), pattern(8192, 2));
    QCOMPARE(entries(files), (QStringList{QStringLiteral("link.rex"), QStringLiteral("real")}));

    // A link to the link: both links stay, the file at the end of the chain gets the bytes.
    const QString outer = files.path(QStringLiteral("outer.rex"));
    QVERIFY(QFile::link(QStringLiteral("link.rex"), outer));
    QVERIFY(AddinImage::writeFile(outer, pattern(100, 3)));
    QVERIFY(QFileInfo(outer).isSymLink());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(TestFiles::read(target), pattern(100, 3));

    // Links that point at each other lead nowhere: nothing is written, both stay links.
    const QString loopA = files.path(QStringLiteral("loop-a.rex"));
    const QString loopB = files.path(QStringLiteral("loop-b.rex"));
    QVERIFY(QFile::link(QStringLiteral("loop-b.rex"), loopA));
    QVERIFY(QFile::link(QStringLiteral("loop-a.rex"), loopB));
    QVERIFY(!AddinImage::writeFile(loopA, pattern(100)));
    QVERIFY(QFileInfo(loopA).isSymLink() && QFileInfo(loopB).isSymLink());
}

void TestAddinImage::writeIntoProcFails_data() {
    QTest::addColumn<QString>("path");

    QTest::newRow("existing file") << "/proc/version";
    QTest::newRow("new file") << "/proc/self/mobrin-test.rex";
}

void TestAddinImage::writeIntoProcFails() {
    QFETCH(QString, path);

    const QByteArray before = TestFiles::read(path);
    QVERIFY(!AddinImage::writeFile(path, pattern(8192)));
    QCOMPARE(TestFiles::read(path), before);
}

void TestAddinImage::writeCutShortLeavesTheOldFile() {
    TestFiles files;
    const QByteArray old = pattern(5000, 4);
    const QString path = files.write(QStringLiteral("addin.rex"), old);
    {
        const FileSizeLimit limit(4096);
        QVERIFY(limit.active());
        QVERIFY(!AddinImage::writeFile(path, pattern(8192, 5)));
    }
    QCOMPARE(TestFiles::read(path), old);
    QCOMPARE(entries(files), QStringList{QStringLiteral("addin.rex")});
    // With the limit gone, the same write succeeds.
    QVERIFY(AddinImage::writeFile(path, pattern(8192, 5)));
    QCOMPARE(TestFiles::read(path), pattern(8192, 5));
}

QTEST_GUILESS_MAIN(TestAddinImage)
#include "tst_addinimage.moc"

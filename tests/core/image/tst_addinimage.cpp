// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinImage.h"
#include "ChildProcess.h"
#include "FilePath.h"
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
using PadOutcome = AddinImage::PadOutcome;
using WriteOutcome = AddinImage::WriteOutcome;

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

struct stat statOf(const QString& path) {
    struct stat info {};
    ::lstat(FilePath::toBytes(path).constData(), &info);
    return info;
}

bool exists(const QString& path) {
    struct stat info {};
    return ::lstat(FilePath::toBytes(path).constData(), &info) == 0;
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
    void namesQtCannotTellApart_data();
    void namesQtCannotTellApart();
    void writeKeepsOwnerGroupAndLinks_data();
    void writeKeepsOwnerGroupAndLinks();
    void padsOnlyTheFileMeasured_data();
    void padsOnlyTheFileMeasured();
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

void TestAddinImage::namesQtCannotTellApart_data() {
    QTest::addColumn<QByteArray>("folder"); // where the files lie, as bytes
    QTest::addColumn<bool>("rawPresent");   // "a\xFF.rex", a name that is not UTF-8
    QTest::addColumn<bool>("twinPresent");  // "a\xEF\xBF\xBD.rex", U+FFFD in UTF-8
    QTest::addColumn<ProbeOutcome>("outcome");

    QTest::newRow("only the name that is not UTF-8")
        << QByteArray() << true << false << ProbeOutcome::InexactName;
    QTest::newRow("both") << QByteArray() << true << true << ProbeOutcome::InexactName;
    QTest::newRow("only the UTF-8 twin") << QByteArray() << false << true << ProbeOutcome::Ok;
    QTest::newRow("neither") << QByteArray() << false << false << ProbeOutcome::Missing;
    QTest::newRow("in a folder whose name is not UTF-8")
        << QByteArray("d\xFF") << true << false << ProbeOutcome::InexactName;
    QTest::newRow("in a folder whose name is U+FFFD in UTF-8")
        << QByteArray("d\xEF\xBF\xBD") << false << true << ProbeOutcome::Ok;
}

// A name as a file dialog gives it: Qt reads each byte that is not UTF-8 as U+FFFD. Such a
// name is refused wherever it could lead to the wrong file, and nothing is written then.
void TestAddinImage::namesQtCannotTellApart() {
    QFETCH(QByteArray, folder);
    QFETCH(bool, rawPresent);
    QFETCH(bool, twinPresent);
    QFETCH(ProbeOutcome, outcome);

    TestFiles files;
    QString prefix;
    if (!folder.isEmpty()) {
        prefix = FilePath::fromBytes(folder) + QLatin1Char('/');
        QCOMPARE(::mkdir(FilePath::toBytes(files.path(prefix)).constData(), 0755), 0);
    }
    const QString raw = files.path(prefix + FilePath::fromBytes("a\xFF.rex"));
    const QString twin = files.path(prefix + FilePath::fromBytes("a\xEF\xBF\xBD.rex"));
    if (rawPresent) {
        files.write(prefix + FilePath::fromBytes("a\xFF.rex"), pattern(8192, 1));
    }
    if (twinPresent) {
        files.write(prefix + FilePath::fromBytes("a\xEF\xBF\xBD.rex"), pattern(8192, 2));
    }
    const QString shown = files.path(
        QFile::decodeName(folder + (folder.isEmpty() ? "" : "/") + QByteArray("a\xFF.rex")));
    QVERIFY(shown.contains(QChar::ReplacementCharacter));

    QCOMPARE(AddinImage::probe(shown).outcome, outcome);
    if (outcome == ProbeOutcome::Ok) {
        QCOMPARE(AddinImage::readFile(shown, 8192), pattern(8192, 2));
    }
    const bool exact = outcome == ProbeOutcome::Ok || outcome == ProbeOutcome::Missing;
    QCOMPARE(AddinImage::write(shown, pattern(100, 3)).outcome,
             exact ? WriteOutcome::Written : WriteOutcome::InexactName);
    // Only the twin, the file the name spells exactly, may have changed.
    QCOMPARE(exists(raw), rawPresent);
    if (rawPresent) {
        QCOMPARE(TestFiles::read(raw), pattern(8192, 1));
    }
    QCOMPARE(exists(twin), twinPresent || exact);
    QCOMPARE(TestFiles::read(twin), exact ? pattern(100, 3) : twinPresent ? pattern(8192, 2) : "");
}

void TestAddinImage::writeKeepsOwnerGroupAndLinks_data() {
    QTest::addColumn<int>("owner"); // -1: the writer
    QTest::addColumn<int>("group"); // -1: the writer's group
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("linked"); // a second hard link to the file
    QTest::addColumn<int>("writer");  // -1: the tests' own user, without a child
    QTest::addColumn<int>("shared");  // a group the writer belongs to besides its own; -1: none

    constexpr int nobody = 65534;
    constexpr int colleague = 1234;
    constexpr int team = 4321;
    QTest::newRow("root saves nobody's file") << nobody << nobody << 0640 << false << -1 << -1;
    QTest::newRow("root saves nobody's file that has a second link")
        << nobody << nobody << 0640 << true << -1 << -1;
    QTest::newRow("saving one's own file that has a second link")
        << -1 << -1 << 0644 << true << -1 << -1;
    QTest::newRow("a group member saves a colleague's group-writable file")
        << colleague << team << 0660 << false << nobody << team;
    QTest::newRow("a group member saves a colleague's file that has a second link")
        << colleague << team << 0664 << true << nobody << team;
    QTest::newRow("a group member saves their own file of the group")
        << nobody << team << 0664 << false << nobody << team;
}

// The saved file stays the same file to everyone else: owner, group, mode, and every hard
// link holding the new bytes. Other users run in a forked child (which needs root).
void TestAddinImage::writeKeepsOwnerGroupAndLinks() {
    QFETCH(int, owner);
    QFETCH(int, group);
    QFETCH(int, mode);
    QFETCH(bool, linked);
    QFETCH(int, writer);
    QFETCH(int, shared);

    const bool root = ChildProcess::runningAsRoot();
    if (!root && (owner >= 0 || writer >= 0)) {
        QSKIP("files of other users and other users' writes need root");
    }
    TestFiles files;
    const QString folder = files.path(QString());
    const QString path = files.write(QStringLiteral("addin.rex"), pattern(8192, 1));
    const QString link = files.path(QStringLiteral("link.rex"));
    if (linked) {
        QCOMPARE(::link(FilePath::toBytes(path).constData(), FilePath::toBytes(link).constData()),
                 0);
    }
    const uid_t ownerId = owner >= 0 ? uid_t(owner) : writer >= 0 ? uid_t(writer) : ::geteuid();
    const gid_t groupId = group >= 0 ? gid_t(group) : writer >= 0 ? gid_t(writer) : ::getegid();
    if (root) {
        QCOMPARE(::chown(FilePath::toBytes(path).constData(), ownerId, groupId), 0);
        // Others may make the temporary file beside it.
        QCOMPARE(::chmod(FilePath::toBytes(folder).constData(), 0777), 0);
    }
    QCOMPARE(::chmod(FilePath::toBytes(path).constData(), mode_t(mode)), 0);
    const struct stat before = statOf(path);

    bool written = false;
    if (writer < 0) {
        written = AddinImage::writeFile(path, pattern(5000, 2));
    } else {
        ChildProcess::User user{uid_t(writer), gid_t(writer), {}};
        if (shared >= 0) {
            user.groups.push_back(gid_t(shared));
        }
        const auto result = ChildProcess::run(
            [&] { return QByteArray(AddinImage::writeFile(path, pattern(5000, 2)) ? "1" : "0"); },
            user);
        QVERIFY2(result, "the child process could not run");
        written = *result == "1";
    }
    QVERIFY(written);

    const struct stat after = statOf(path);
    QVERIFY(S_ISREG(after.st_mode));
    QCOMPARE(after.st_uid, ownerId);
    QCOMPARE(after.st_gid, groupId);
    QCOMPARE(int(after.st_mode & 07777), mode);
    QCOMPARE(TestFiles::read(path), pattern(5000, 2));
    if (linked) {
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_nlink, nlink_t(2));
        QCOMPARE(statOf(link).st_ino, before.st_ino);
        QCOMPARE(TestFiles::read(link), pattern(5000, 2));
    }
    QCOMPARE(entries(files),
             linked ? (QStringList{"addin.rex", "link.rex"}) : QStringList{"addin.rex"});
}

void TestAddinImage::padsOnlyTheFileMeasured_data() {
    QTest::addColumn<QString>("meanwhile"); // what happens between measuring and padding
    QTest::addColumn<PadOutcome>("outcome");

    QTest::newRow("nothing") << "nothing" << PadOutcome::Padded;
    QTest::newRow("another program appends") << "append" << PadOutcome::Changed;
    QTest::newRow("another program cuts the file short") << "truncate" << PadOutcome::Changed;
    QTest::newRow("another file of the same size takes its name")
        << "replace" << PadOutcome::Changed;
    QTest::newRow("a file-size limit cuts the padding short") << "limit" << PadOutcome::Failed;
}

// Padding appends to the file as it was measured, or not at all: bytes another program wrote
// meanwhile are never overwritten, and padding that went astray is taken out again.
void TestAddinImage::padsOnlyTheFileMeasured() {
    QFETCH(QString, meanwhile);
    QFETCH(PadOutcome, outcome);

    TestFiles files;
    const QByteArray original = pattern(5000, 1);
    const QString path = files.write(QStringLiteral("addin.rex"), original);
    FileIdentity measured;
    QVERIFY(AddinImage::readFile(path, original.size(), &measured));

    QByteArray expected = original;
    if (meanwhile == QLatin1String("append")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        QCOMPARE(file.write(QByteArray(100, 'A')), 100);
        expected += QByteArray(100, 'A');
    } else if (meanwhile == QLatin1String("truncate")) {
        QVERIFY(QFile::resize(path, 4000));
        expected.truncate(4000);
    } else if (meanwhile == QLatin1String("replace")) {
        QVERIFY(QFile::rename(path, files.path(QStringLiteral("old.rex"))));
        expected = pattern(5000, 2);
        files.write(QStringLiteral("addin.rex"), expected);
    }
    PadOutcome padded = PadOutcome::Failed;
    if (meanwhile == QLatin1String("limit")) {
        const FileSizeLimit limit(6000);
        QVERIFY(limit.active());
        padded = AddinImage::pad(path, original.size(), measured);
    } else {
        padded = AddinImage::pad(path, original.size(), measured);
    }

    QCOMPARE(padded, outcome);
    if (outcome == PadOutcome::Padded) {
        expected += QByteArray(8192 - 5000, char(0xFF));
    }
    QVERIFY(S_ISREG(statOf(path).st_mode));
    QCOMPARE(TestFiles::read(path), expected);
    if (meanwhile == QLatin1String("replace")) {
        QCOMPARE(TestFiles::read(files.path(QStringLiteral("old.rex"))), original);
    }
}

QTEST_GUILESS_MAIN(TestAddinImage)
#include "tst_addinimage.moc"

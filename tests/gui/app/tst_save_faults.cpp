// SPDX-License-Identifier: GPL-3.0-or-later
// Saves that cannot complete: a read-only folder, a read-only file, paths under /proc, a write
// cut short by a file-size limit; and saves over symbolic links. Every case ends with the old
// file intact byte for byte or the new one complete, and a failure says "Error saving the
// file!" and the system's reason, with the image still marked as patched. Names and paths as
// long as the system allows save, in the window and in mobrin-cli alike.
#include "AddinDocument.h"
#include "FaultScenarios.h"
#include "FileCommands.h"
#include "FileNameIconProvider.h"
#include "IconPicture.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "WindowHarness.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <fcntl.h>

using namespace FaultScenarios;

namespace {

const QString kSaveError = QStringLiteral("Error saving the file!");

QByteArray patchedClock() {
    QByteArray bytes = TestFiles::addin("Clock", "Shows time", 1000);
    bytes.replace(23, 5, "Time ");
    return bytes;
}

// What a symbolic link says, as written (relative targets stay relative).
QString linkText(const QString& path) {
    char buffer[4096];
    const ssize_t length =
        ::readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer - 1);
    return length < 0 ? QString() : QFile::decodeName(QByteArray(buffer, length));
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

constexpr int kLongestPath = 4095; // PATH_MAX less its terminating zero
const QString kDeep(200, QLatin1Char('d'));

// The name of a new file at `place` in `root`. For the deep folder the test goes 25 folders of
// 200 bytes down (the system takes no absolute name that long) and names the file from there.
QString longName(const QString& root, const QString& place) {
    if (place.startsWith(QLatin1String("name of 255"))) {
        return root + '/' + QString(251, QLatin1Char('n')) + ".rex";
    }
    if (place.contains(QLatin1String("CJK"))) {
        return root + '/' + QString(83, QChar(0x6F22)) + ".rex"; // 253 bytes in UTF-8
    }
    if (place.startsWith(QLatin1String("path"))) {
        QString folder = root;
        while (folder.size() < kLongestPath - 120 && QDir().mkdir(folder + '/' + kDeep.left(99))) {
            folder += '/' + kDeep.left(99);
        }
        return folder + '/' + QString(kLongestPath - folder.size() - 5, 'x') + ".rex";
    }
    bool entered = QDir::setCurrent(root);
    for (int i = 0; entered && i < 25; ++i) {
        entered = QDir().mkdir(kDeep) && ::chdir(QFile::encodeName(kDeep).constData()) == 0;
    }
    return entered ? QStringLiteral("x.rex") : QString();
}

} // namespace

class TestSaveFaults : public QObject {
    Q_OBJECT

private slots:
    void sizeLimit_data();
    void sizeLimit();
    void withoutPermission_data();
    void withoutPermission();
    void procPaths_data();
    void procPaths();
    void fileDialogReadsNoFile();
    void symbolicLinks_data();
    void symbolicLinks();
    void longNamesAndDeepFolders_data();
    void longNamesAndDeepFolders();
};

void TestSaveFaults::sizeLimit_data() {
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<int>("limit");

    for (const bool saveAs : {false, true}) {
        const char* command = saveAs ? "Save As" : "Save";
        for (const int limit : {0, 1, 4096, 8191, 8192}) {
            QTest::addRow("%s, limit %d", command, limit) << saveAs << limit;
        }
    }
}

// The write is cut short by RLIMIT_FSIZE, which stops root as well: the temporary file never
// replaces the old file unless it is complete.
void TestSaveFaults::sizeLimit() {
    QFETCH(bool, saveAs);
    QFETCH(int, limit);

    TestFiles files;
    const QByteArray old = TestFiles::addin("Clock", "Shows time", 1000);
    const QString path = files.write(QStringLiteral("clock.rex"), old);
    ScriptedPrompts prompts;
    AddinDocument document;
    FileCommands commands(prompts, document);
    prompts.choose(path);
    commands.open();
    QVERIFY(document.isLoaded());
    document.patch(AddinDocument::Field::Name, QStringLiteral("Time"));
    const QString target = saveAs ? files.path(QStringLiteral("copy.rex")) : path;
    bool saved = false;
    {
        const FileSizeLimit cap{rlim_t(limit)};
        QVERIFY(cap.active());
        if (saveAs) {
            prompts.choose(target);
            saved = commands.saveAs();
        } else {
            saved = commands.save();
        }
    }

    const bool fits = limit >= 8192;
    QCOMPARE(saved, fits);
    QCOMPARE(document.isPatched(), !fits);
    QCOMPARE(prompts.texts(),
             fits ? QStringList{} : QStringList{kSaveError + "\r\nFile too large"});
    if (fits) {
        QCOMPARE(TestFiles::read(target), patchedClock());
    } else if (saveAs) {
        QVERIFY(!QFileInfo::exists(target));
    }
    if (saveAs || !fits) {
        QCOMPARE(TestFiles::read(path), old);
    }
    // The temporary file of a failed save is gone.
    QStringList expected{QStringLiteral("clock.rex")};
    if (saveAs && fits) {
        expected.append(QStringLiteral("copy.rex"));
    }
    QCOMPARE(folderEntries(files.path(QString())), expected);
}

void TestSaveFaults::withoutPermission_data() {
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<int>("fileMode");

    QTest::newRow("Save in a read-only folder") << false << false << 0444;
    QTest::newRow("Save As into a read-only folder") << true << false << 0444;
    QTest::newRow("Save onto a read-only file") << false << true << 0444;
    QTest::newRow("Save As onto a read-only file") << true << true << 0444;
    // The folder refuses the temporary file, so the file itself takes the bytes, as the
    // padding of Open writes it.
    QTest::newRow("Save of a writable file in a read-only folder") << false << false << 0666;
}

// Run as the user nobody in a child process, so that the permission bits hold even for root.
void TestSaveFaults::withoutPermission() {
    QFETCH(bool, saveAs);
    QFETCH(bool, folderWritable);
    QFETCH(int, fileMode);

    TestFiles files;
    const QString folder = files.path(QStringLiteral("add-ins"));
    QVERIFY(QDir().mkpath(folder));
    const QByteArray old = TestFiles::addin("Clock", "Shows time", 1000);
    const QString path = folder + QStringLiteral("/clock.rex");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(old), old.size());
    }
    const QString other = folder + QStringLiteral("/other.rex");
    const QByteArray otherBytes = TestFiles::addin("Other", "Read-only too", 50);
    {
        QFile file(other);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(otherBytes), otherBytes.size());
    }
    QVERIFY(setAccess(files.path(QString()), 0755));
    // The files belong to someone else and nobody may write them; the folder is either
    // writable for everyone (only the files are protected) or for its owner alone.
    QVERIFY(setAccess(folder, folderWritable ? 0777 : 0755, 0));
    QVERIFY(setAccess(path, mode_t(fileMode), 0));
    QVERIFY(setAccess(other, 0444, 0));
    if (!runningAsRoot() && folderWritable) {
        // Without root the folder's owner is the tests' own user, who may write into it: the
        // files stay protected by their own bits only.
        QVERIFY(setAccess(folder, 0755));
    }

    const std::optional<QByteArray> report = runAsNobody([&] {
        ScriptedPrompts prompts;
        AddinDocument document;
        FileCommands commands(prompts, document);
        document.load(AddinImage(TestFiles::addin("Clock", "Shows time", 1000), path));
        document.patch(AddinDocument::Field::Name, QStringLiteral("Time"));
        if (saveAs) {
            prompts.choose(folderWritable ? other : folder + QStringLiteral("/new.rex"));
            commands.saveAs();
        } else {
            commands.save();
        }
        QByteArray out;
        QDataStream stream(&out, QIODevice::WriteOnly);
        stream << prompts.texts() << document.isPatched();
        return out;
    });
    QVERIFY2(report, "the child process as nobody could not run");
    QStringList messages;
    bool patched = false;
    QDataStream stream(*report);
    stream >> messages >> patched;

    const bool saves = fileMode == 0666;
    QCOMPARE(messages, saves ? QStringList{} : QStringList{kSaveError + "\r\nPermission denied"});
    QCOMPARE(patched, !saves);
    QCOMPARE(TestFiles::read(path), saves ? patchedClock() : old);
    QCOMPARE(TestFiles::read(other), otherBytes);
    QCOMPARE(QFileInfo(path).permissions() & QFileDevice::WriteOther,
             saves ? QFileDevice::WriteOther : QFileDevice::Permissions());
    QCOMPARE(folderEntries(folder),
             (QStringList{QStringLiteral("clock.rex"), QStringLiteral("other.rex")}));
    QVERIFY(setAccess(folder, 0755));
}

void TestSaveFaults::procPaths_data() {
    QTest::addColumn<QString>("target");

    // /proc takes no new files and no renames, not even from root.
    QTest::newRow("a new file in /proc") << QStringLiteral("/proc/mobrin-save-test.rex");
    QTest::newRow("onto a file in /proc") << QStringLiteral("/proc/version");
}

void TestSaveFaults::procPaths() {
    QFETCH(QString, target);

    WindowHarness h;
    const QByteArray old = TestFiles::addin("Clock", "Shows time", 1000);
    const QString path = h.files.write(QStringLiteral("clock.rex"), old);
    const QByteArray targetBefore = TestFiles::read(target);
    h.open(path);

    h.prompts.choose(target);
    h.command("mnuFileSaveAs");
    QCOMPARE(h.prompts.texts().size(), 1);
    QVERIFY(h.prompts.texts().first().startsWith(kSaveError + "\r\n"));
    QCOMPARE(TestFiles::read(target), targetBefore);
    QCOMPARE(TestFiles::read(path), old);
    // The failed Save As keeps the new name for the next Save, and the caption names it.
    QCOMPARE(h.document().image().path(), target);
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + target);
}

// After a failed Save As to /proc the dialog opens there, where a file's first read may never
// return (/proc/kmsg): it tells types from names. A picture without an extension shows it.
void TestSaveFaults::fileDialogReadsNoFile() {
    TestFiles files;
    const QString path = files.path(QStringLiteral("picture"));
    QVERIFY(TestFiles::drawnIcon(TestFiles::icon()).save(path, "PNG"));
    QVERIFY(QFileIconProvider().type(QFileInfo(path)).contains(QLatin1String("PNG")));
    QVERIFY(!FileNameIconProvider().type(QFileInfo(path)).contains(QLatin1String("PNG")));
}

void TestSaveFaults::symbolicLinks_data() {
    QTest::addColumn<QStringList>("links"); // link name and its target, in pairs
    QTest::addColumn<QString>("opened");    // the file loaded first
    QTest::addColumn<QString>("savedTo");   // the path Save As is given; empty: Save
    QTest::addColumn<QString>("receiver");  // the file that must get the bytes

    QTest::newRow("Save through a link") << QStringList{"link.rex", "real.rex"} << "link.rex"
                                         << ""
                                         << "real.rex";
    QTest::newRow("Save through a relative link into a subfolder")
        << QStringList{"link.rex", "sub/real.rex"} << "link.rex"
        << ""
        << "sub/real.rex";
    QTest::newRow("Save through a chain of links")
        << QStringList{"first.rex", "second.rex", "second.rex", "sub/real.rex"} << "first.rex"
        << ""
        << "sub/real.rex";
    QTest::newRow("Save As onto a link") << QStringList{"link.rex", "sub/real.rex"} << "real.rex"
                                         << "link.rex"
                                         << "sub/real.rex";
    QTest::newRow("Save As onto a dangling link")
        << QStringList{"link.rex", "sub/missing.rex"} << "real.rex"
        << "link.rex"
        << "sub/missing.rex";
}

// A symbolic link stays a link with the same target; the file it leads to gets the bytes.
void TestSaveFaults::symbolicLinks() {
    QFETCH(QStringList, links);
    QFETCH(QString, opened);
    QFETCH(QString, savedTo);
    QFETCH(QString, receiver);

    TestFiles files;
    QVERIFY(QDir().mkpath(files.path(QStringLiteral("sub"))));
    const QByteArray old = TestFiles::addin("Clock", "Shows time", 1000);
    files.write(QStringLiteral("real.rex"), old);
    files.write(QStringLiteral("sub/real.rex"), old);
    // Relative targets, as a user's ln -s makes them.
    for (qsizetype i = 0; i + 1 < links.size(); i += 2) {
        QVERIFY(::symlink(QFile::encodeName(links[i + 1]).constData(),
                          QFile::encodeName(files.path(links[i])).constData()) == 0);
    }

    ScriptedPrompts prompts;
    AddinDocument document;
    FileCommands commands(prompts, document);
    prompts.choose(files.path(opened));
    commands.open();
    QCOMPARE(document.image().bytes(), old);
    document.patch(AddinDocument::Field::Name, QStringLiteral("Time"));

    if (savedTo.isEmpty()) {
        QVERIFY(commands.save());
    } else {
        prompts.choose(files.path(savedTo));
        QVERIFY(commands.saveAs());
    }
    QCOMPARE(prompts.texts(), QStringList{});
    QCOMPARE(TestFiles::read(files.path(receiver)), patchedClock());
    for (qsizetype i = 0; i + 1 < links.size(); i += 2) {
        const QFileInfo link(files.path(links[i]));
        QVERIFY2(link.isSymLink(), qPrintable(links[i]));
        QCOMPARE(linkText(link.filePath()), links[i + 1]);
    }
    // Every other file keeps its bytes.
    for (const QString& name : {QStringLiteral("real.rex"), QStringLiteral("sub/real.rex")}) {
        if (name != receiver && !(savedTo.isEmpty() && name == opened)) {
            QCOMPARE(TestFiles::read(files.path(name)), old);
        }
    }
}

void TestSaveFaults::longNamesAndDeepFolders_data() {
    QTest::addColumn<QStringList>("arguments"); // mobrin-cli's, "@" the new file; none: Save As
    QTest::addColumn<QString>("place");
    const QList<QStringList> commands = {{},
                                         {"patch", "@", "--name", "Time"},
                                         {"patch", "@", "--icon", "@icon.png"},
                                         {"patch", "@clock.rex", "--name", "Time", "-o", "@"},
                                         {"icon", "@clock.rex", "--png", "@"}};
    for (const QStringList& arguments : commands) {
        for (const char* place : {"name of 255 bytes", "name of 83 CJK characters",
                                  "path of 4095 bytes", "current folder 5000 bytes deep"}) {
            QTest::addRow("%s, %s",
                          arguments.isEmpty() ? "Save As" : qPrintable(arguments.join(' ')), place)
                << arguments << place;
        }
    }
}

// The temporary file of a save has a short name of its own, and every step works relative to
// the open folder: no name the system accepts is too long to save to.
void TestSaveFaults::longNamesAndDeepFolders() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, place);

    TestFiles files;
    const QByteArray clock = TestFiles::addin("Clock", "Shows time", 1000);
    const QByteArray icon = TestFiles::randomIcon(19);
    files.write(QStringLiteral("clock.rex"), clock);
    QVERIFY(TestFiles::drawnIcon(icon).save(files.path(QStringLiteral("icon.png"))));
    const int back = ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    const auto goBack = qScopeGuard([&] {
        QVERIFY(::fchdir(back) == 0 && ::close(back) == 0);
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), files.path(kDeep)});
    });
    const QString target = longName(files.path(QString()), place);
    QVERIFY(!target.isEmpty());

    if (arguments.isEmpty()) {
        ScriptedPrompts prompts;
        AddinDocument document;
        FileCommands commands(prompts, document);
        document.load(AddinImage(clock, files.path(QStringLiteral("clock.rex"))));
        document.patch(AddinDocument::Field::Name, QStringLiteral("Time"));
        prompts.choose(target);
        QVERIFY(commands.saveAs());
        QCOMPARE(prompts.texts(), QStringList{});
    } else {
        QFile input(target); // patch and patch --icon write their input in place
        QVERIFY(arguments[1] != "@" ||
                (input.open(QIODevice::WriteOnly) && input.write(clock) == clock.size()));
        input.close();
        arguments.replaceInStrings(QRegularExpression("^@$"), target)
            .replaceInStrings(QRegularExpression("^@"), files.path(QString()) + '/');
        QProcess cli;
        cli.start(QStringLiteral(MOBRIN_CLI_BINARY), arguments);
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.readAllStandardError(), QByteArray());
        QCOMPARE(cli.exitCode(), 0);
    }
    if (arguments.contains(QLatin1String("--png"))) {
        QCOMPARE(IconPicture::fromFile(target).icon, TestFiles::icon());
    } else {
        QCOMPARE(TestFiles::read(target), arguments.contains(QLatin1String("--icon"))
                                              ? clock.left(45) + icon + clock.mid(205)
                                              : patchedClock());
    }
    // No temporary file is left beside it.
    QCOMPARE(QDir(QFileInfo(target).path()).entryList(QDir::Hidden | QDir::Files).filter("mobrin"),
             QStringList{});
}

QTEST_MAIN(TestSaveFaults)
#include "tst_save_faults.moc"

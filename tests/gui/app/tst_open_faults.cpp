// SPDX-License-Identifier: GPL-3.0-or-later
// Opens that fail part-way, and paths out of the ordinary. A refused open leaves the window
// exactly as it was (image, path, caption, header and dump) and the file as the failure left
// it; unusual names open, patch and save like any other.
#include "DumpFiles.h"
#include "DumpPane.h"
#include "DumpText.h"
#include "DumpView.h"
#include "FaultScenarios.h"
#include "FilePath.h"
#include "HeaderArea.h"
#include "HeaderBox.h"
#include "MainWindow.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"
#include "WindowHarness.h"

#include <QCheckBox>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QtTest>

using namespace FaultScenarios;
using Answer = Prompts::Answer;

namespace {

const QString kOpenError = QStringLiteral("Error opening file!!");
const QString kPadQuestion = QStringLiteral("File is less than 8K!\r\nPad it to 8K?");

// What the window shows of the file it holds.
struct WindowState {
    QByteArray bytes;
    QString path;
    QString caption;
    QString name;
    QString hex;
    bool patched = false;
    bool stripEnabled = false;

    static WindowState of(const MainWindow& window) {
        return {window.document().image().bytes(),
                window.document().image().path(),
                window.windowTitle(),
                window.findChild<HeaderBox*>(QStringLiteral("Aname"))->text(),
                window.dumpView()->scrHEX->dumpText(),
                window.document().isPatched(),
                window.findChild<QCheckBox*>(QStringLiteral("chkCode"))->isEnabled()};
    }
    bool operator==(const WindowState&) const = default;
};

QDataStream& operator<<(QDataStream& out, const WindowState& state) {
    return out << state.bytes << state.path << state.caption << state.name << state.hex
               << state.patched << state.stripEnabled;
}

QDataStream& operator>>(QDataStream& in, WindowState& state) {
    return in >> state.bytes >> state.path >> state.caption >> state.name >> state.hex >>
           state.patched >> state.stripEnabled;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Unlocks the name box, types `text` over it, leaves the box and confirms the patch.
} // namespace

class TestOpenFaults : public QObject {
    Q_OBJECT

private slots:
    void readOnlyMedium_data();
    void readOnlyMedium();
    void withoutPermission_data();
    void withoutPermission();
    void unusualNames_data();
    void unusualNames();
    void namesQtCannotHandOverAreRefused();
};

void TestOpenFaults::readOnlyMedium_data() {
    QTest::addColumn<Answer>("padding");
    QTest::newRow("padding accepted") << Answer::Yes;
    QTest::newRow("padding declined") << Answer::No;
}

// /proc/version is a regular file of length 0 on a file system that takes no writes, not even
// from root: the padding cannot be written, and an empty file is not read unpadded.
void TestOpenFaults::readOnlyMedium() {
    QFETCH(Answer, padding);

    const QString path = QStringLiteral("/proc/version");
    const QByteArray before = TestFiles::read(path);
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() != 0) {
        QSKIP("/proc/version is not an empty-looking regular file here");
    }
    TestFiles files;
    ScriptedPrompts prompts;
    DumpFiles dumpFiles;
    MainWindow window(prompts, dumpFiles);
    prompts.choose(files.write(QStringLiteral("clock.rex"), TestFiles::addin()));
    runCommand(window, "mnuFileOpen");
    const WindowState loaded = WindowState::of(window);

    prompts.choose(path);
    prompts.answer(padding);
    runCommand(window, "mnuFileOpen");
    QCOMPARE(prompts.texts().value(0), kPadQuestion);
    QCOMPARE(prompts.texts().value(1).split("\r\n").first(), kOpenError);
    QVERIFY(WindowState::of(window) == loaded);
    QCOMPARE(TestFiles::read(path), before);
}

void TestOpenFaults::withoutPermission_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("ownedByNobody");
    QTest::addColumn<bool>("folderClosed");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("sizeAfter");

    QTest::newRow("no write permission, padding accepted")
        << 5000 << 0444 << false << false
        << QStringList{kPadQuestion, kOpenError + "\r\nPermission denied"} << 5000;
    QTest::newRow("no read permission")
        << 8192 << 0000 << false << false << QStringList{kOpenError} << 8192;
    // The padding is written before the read fails; the file stays padded, as a padded file
    // always does.
    QTest::newRow("no read permission, padding accepted")
        << 5000 << 0200 << true << false << QStringList{kPadQuestion, kOpenError} << 8192;
    QTest::newRow("folder closed to others")
        << 8192 << 0644 << false << true << QStringList{kOpenError} << 8192;
}

// Run as the user nobody in a child process, so that the permission bits hold even for root.
void TestOpenFaults::withoutPermission() {
    QFETCH(int, size);
    QFETCH(int, mode);
    QFETCH(bool, ownedByNobody);
    QFETCH(bool, folderClosed);
    QFETCH(QStringList, messages);
    QFETCH(int, sizeAfter);

    TestFiles files;
    QVERIFY(setAccess(files.path(QString()), 0755));
    const QString folder = files.path(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    const QByteArray bytes = TestFiles::addin("Other", "Not to be read", 100, size);
    const QString path = folder + QStringLiteral("/other.rex");
    writeFile(path, bytes);
    QVERIFY(setAccess(path, mode_t(mode), ownedByNobody ? int(kNobody) : 0));
    QVERIFY(setAccess(folder, folderClosed ? 0700 : 0755, 0));

    ScriptedPrompts prompts;
    DumpFiles dumpFiles;
    MainWindow window(prompts, dumpFiles);
    prompts.choose(files.write(QStringLiteral("clock.rex"), TestFiles::addin()));
    runCommand(window, "mnuFileOpen");
    QVERIFY(prompts.texts().isEmpty());
    const WindowState loaded = WindowState::of(window);

    const std::optional<QByteArray> report = runAsNobody([&] {
        prompts.choose(path);
        prompts.answer(Answer::Yes);
        runCommand(window, "mnuFileOpen");
        QByteArray out;
        QDataStream stream(&out, QIODevice::WriteOnly);
        stream << prompts.texts() << WindowState::of(window);
        return out;
    });
    QVERIFY2(report, "the child process as nobody could not run");
    QStringList asked;
    WindowState after;
    QDataStream stream(*report);
    stream >> asked >> after;

    QCOMPARE(asked, messages);
    QVERIFY(after == loaded);
    QVERIFY(setAccess(folder, 0755));
    QVERIFY(setAccess(path, 0644));
    const QByteArray onDisk = TestFiles::read(path);
    QCOMPARE(onDisk.size(), sizeAfter);
    QCOMPARE(onDisk.left(size), bytes);
    QCOMPARE(onDisk.mid(size), QByteArray(sizeAfter - size, char(0xFF)));
}

void TestOpenFaults::unusualNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("copyName");

    QTest::newRow("spaces and non-ASCII characters")
        << QStringLiteral("my add-ins/Zähler ✓ 時計.rex")
        << QStringLiteral("Kopien/копия часов 2.DS2");
    QTest::newRow("no extension") << QStringLiteral("CLOCK") << QStringLiteral("clock copy");
    QTest::newRow("leading dash and dots")
        << QStringLiteral("-clock..rex") << QStringLiteral(".hidden clock");
}

// Open (with padding), patch, Save, then Save As under another unusual name, which is used
// exactly as given: no extension is added.
void TestOpenFaults::unusualNames() {
    QFETCH(QString, name);
    QFETCH(QString, copyName);

    TestFiles files;
    const QString path = files.path(name);
    const QString copy = files.path(copyName);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
    const QByteArray unpadded = TestFiles::addin("Clock", "Shows time", 1000, 0);
    writeFile(path, unpadded);

    WindowHarness h;
    h.open(path, Answer::Yes);
    QByteArray padded = unpadded + QByteArray(8192 - unpadded.size(), char(0xFF));
    QCOMPARE(TestFiles::read(path), padded);
    QCOMPARE(h.document().image().bytes(), padded);
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + path);

    h.patch(h.box("Aname"), QStringLiteral("Zeit"));
    QVERIFY(h.document().isPatched());
    QByteArray patched = padded;
    patched.replace(23, 5, "Zeit ");
    h.command("mnuFileSave");
    QCOMPARE(TestFiles::read(path), patched);

    h.prompts.choose(copy);
    h.command("mnuFileSaveAs");
    QCOMPARE(h.prompts.texts(), (QStringList{kPadQuestion, QStringLiteral("Patch the addin?")}));
    QCOMPARE(TestFiles::read(copy), patched);
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + copy);
    const QStringList copies = QDir(QFileInfo(copy).path()).entryList(QDir::Files | QDir::Hidden);
    QVERIFY2(copies.contains(QFileInfo(copy).fileName()), qPrintable(copies.join(u',')));
    QCOMPARE(QFileInfo(copy).size(), 8192);
}

// "a\xFF.rex" beside "a\uFFFD.rex": the dialog hands over both as "a\uFFFD.rex". Neither Open
// nor Save As may then reach the twin.
void TestOpenFaults::namesQtCannotHandOverAreRefused() {
    TestFiles files;
    const QByteArray mine = TestFiles::addin("Mine", "Not UTF-8", 1000);
    const QByteArray twin = TestFiles::addin("Twin", "Other file", 1000);
    const QString raw = files.write(FilePath::fromBytes("a\xFF.rex"), mine);
    const QString asQtSays = files.write(QStringLiteral("a\uFFFD.rex"), twin);
    const QString message = QStringLiteral(
        "The name of this file cannot be read exactly!\r\nRename the file, then try again.");

    WindowHarness h;
    h.open(asQtSays);
    QCOMPARE(h.prompts.texts(), QStringList{message});
    QVERIFY(!h.document().isLoaded());

    h.openAddin(TestFiles::addin());
    h.prompts.messages.clear();
    h.prompts.choose(asQtSays);
    h.command("mnuFileSaveAs");
    QCOMPARE(h.prompts.texts(), QStringList{message});
    QCOMPARE(TestFiles::read(raw), mine);
    QCOMPARE(TestFiles::read(asQtSays), twin);
    QVERIFY(h.document().path() != asQtSays);
}

QTEST_MAIN(TestOpenFaults)
#include "tst_open_faults.moc"

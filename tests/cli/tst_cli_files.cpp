// SPDX-License-Identifier: GPL-3.0-or-later
// Files safe whatever the path: outputs that are not regular files or are the input, unpack's
// folder with links planted or a write failing halfway, names that are not UTF-8 beside their
// UTF-8 twin, control characters in names, a stop by a signal at any moment, and pad racing a
// program that appends. Every case checks the bytes on disk and the kind of file afterwards,
// not only what was printed.
#include "AddinImage.h"
#include "ChildProcess.h"
#include "CliRun.h"
#include "FilePath.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"

#include <QRandomGenerator>
#include <QtTest>

#include <atomic>
#include <thread>
#include <tuple>

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

namespace {

constexpr int kNameStart = 24; // image index of the name in TestFiles::addin()

QByteArray withName(QByteArray bytes, const QByteArray& name) {
    bytes.replace(kNameStart - 1, name.size(), name);
    return bytes;
}

QByteArray native(const QString& path) {
    return FilePath::toBytes(path);
}

struct stat statOf(const QString& path, bool follow = false) {
    struct stat info {};
    if ((follow ? ::stat(native(path).constData(), &info)
                : ::lstat(native(path).constData(), &info)) != 0) {
        info.st_mode = 0;
    }
    return info;
}

bool exists(const QString& path) {
    return statOf(path).st_mode != 0;
}

// The folder's entries by their bytes (Qt would read names that are not UTF-8 as U+FFFD).
QStringList entries(const QString& folder) {
    QStringList names;
    DIR* listing = ::opendir(native(folder).constData());
    while (const dirent* entry = listing ? ::readdir(listing) : nullptr) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") {
            names.append(FilePath::fromBytes(name));
        }
    }
    if (listing) {
        ::closedir(listing);
    }
    names.sort();
    return names;
}

// Nothing that a terminal acts on: no control character but the line ends, no DEL, no C1
// control (U+0080 to U+009F, in UTF-8).
bool printable(const QByteArray& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = quint8(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() && quint8(text[i + 1]) >= 0x80 &&
                        quint8(text[i + 1]) <= 0x9F;
        if ((byte < 0x20 && byte != '\n') || byte == 0x7F || c1) {
            return false;
        }
    }
    return true;
}

bool makeSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = native(path);
    if (fd < 0 || size_t(name.size()) >= sizeof address.sun_path) {
        return false;
    }
    std::copy(name.begin(), name.end(), address.sun_path);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

void appendTo(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(native(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, bytes.constData(), bytes.size());
        ::close(fd);
    }
}

// Every entry below `folder` by its path, with its inode and its bytes or a link's text: a
// file changed, moved, replaced or left behind shows as a difference.
QMap<QString, QByteArray> snapshot(const QString& folder, const QString& prefix = {}) {
    QMap<QString, QByteArray> found;
    for (const QString& name : entries(folder)) {
        const QString path = folder + '/' + name;
        const struct stat info = statOf(path);
        QByteArray what = QByteArray::number(quint64(info.st_ino)) + ' ';
        if (S_ISLNK(info.st_mode)) {
            char target[4096];
            const ssize_t length = ::readlink(native(path).constData(), target, sizeof target);
            what += "link " + QByteArray(target, qMax<ssize_t>(length, 0));
        } else if (S_ISDIR(info.st_mode)) {
            found.insert(snapshot(path, prefix + name + '/'));
            what += "folder";
        } else {
            what += "file " + TestFiles::read(path);
        }
        found.insert(prefix + name, what);
    }
    return found;
}

} // namespace

class CliFiles : public QObject {
    Q_OBJECT

private slots:
    void outputsThatAreNotFiles_data();
    void outputsThatAreNotFiles();
    void unpackFolderWholeOrUnchanged_data();
    void unpackFolderWholeOrUnchanged();
    void namesThatAreNotUtf8_data();
    void namesThatAreNotUtf8();
    void controlCharactersInNames_data();
    void controlCharactersInNames();
    void stoppedBySignals_data();
    void stoppedBySignals();
    void padRacesAnAppender_data();
    void padRacesAnAppender();
    void unpackRacesALinkSwapper();
};

void CliFiles::outputsThatAreNotFiles_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("says");

    const QString notFile = QStringLiteral("it is not a regular file");
    const QString input = QStringLiteral("it is the input file itself");
    for (const char* command : {"patch -o", "icon --png"}) {
        QTest::addRow("%s a FIFO", command) << command << "fifo" << notFile;
        QTest::addRow("%s a socket", command) << command << "socket" << notFile;
        QTest::addRow("%s a folder", command) << command << "folder" << notFile;
        QTest::addRow("%s a character device", command) << command << "device" << notFile;
        QTest::addRow("%s a link to a FIFO", command) << command << "link to fifo" << notFile;
        QTest::addRow("%s a link to a device", command) << command << "link to device" << notFile;
        QTest::addRow("%s the input", command) << command << "input" << input;
        QTest::addRow("%s a hard link to the input", command) << command << "hard link" << input;
        QTest::addRow("%s a symbolic link to the input", command)
            << command << "symbolic link" << input;
    }
}

// Refused before anything is written: the node keeps its kind and identity, the input its
// bytes, and no temporary file is left beside either.
void CliFiles::outputsThatAreNotFiles() {
    QFETCH(QString, command);
    QFETCH(QString, kind);
    QFETCH(QString, says);

    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    const QString input = files.write("a.rex", clock);
    QString out = files.path("out");
    const QByteArray outName = native(out);
    const QByteArray node = native(files.path("node"));
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(outName.constData(), 0644), 0);
    } else if (kind == "socket") {
        QVERIFY(makeSocket(out));
    } else if (kind == "folder") {
        QCOMPARE(::mkdir(outName.constData(), 0755), 0);
    } else if (kind == "device" || kind == "link to device") {
        // A node of its own like /dev/null: a test that failed must not destroy the real one.
        const QByteArray& name = kind == "device" ? outName : node;
        if (::mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
            QSKIP("making a device node needs root");
        }
    } else if (kind == "link to fifo") {
        QCOMPARE(::mkfifo(node.constData(), 0644), 0);
    } else if (kind == "input") {
        out = input;
    } else if (kind == "hard link") {
        QCOMPARE(::link(native(input).constData(), outName.constData()), 0);
    }
    if (kind.startsWith("link to") || kind == "symbolic link") {
        const char* target = kind == "symbolic link" ? "a.rex" : "node";
        QCOMPARE(::symlink(target, outName.constData()), 0);
    }
    const struct stat before = statOf(out);
    const struct stat beforeFollowed = statOf(out, true);
    const QStringList entriesBefore = entries(files.path(QString()));

    const QStringList arguments = command == "patch -o"
                                      ? QStringList{"patch", input, "--name", "Evil", "-o", out}
                                      : QStringList{"icon", input, "--png", out};
    const CliRun run(arguments);
    QCOMPARE(run.code, 6);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QVERIFY2(QString::fromUtf8(run.err).contains(says), run.err.constData());

    const struct stat after = statOf(out);
    const struct stat afterFollowed = statOf(out, true);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_rdev, before.st_rdev);
    QCOMPARE(afterFollowed.st_mode, beforeFollowed.st_mode);
    QCOMPARE(afterFollowed.st_ino, beforeFollowed.st_ino);
    QCOMPARE(TestFiles::read(input), clock);
    QCOMPARE(entries(files.path(QString())), entriesBefore);
}

void CliFiles::unpackFolderWholeOrUnchanged_data() {
    QTest::addColumn<QStringList>("planted"); // NAME=KIND in the folder first: old (a file),
                                              // link, hard link (to a file outside), dangling
    QTest::addColumn<int>("limit");           // bytes a file may grow to; 0: no limit
    // The folder is sticky and its addin.asm root's; the others are nobody's, who unpacks.
    QTest::addColumn<bool>("asNobody");
    QTest::addColumn<int>("code");

    const QStringList links{"header.json=dangling", "icon.png=hard link", "code.bin=link",
                            "addin.asm=old"};
    QTest::newRow("old files replaced")
        << QStringList{"header.json=old", "icon.png=old", "code.bin=old", "addin.asm=old"} << 0
        << false << 0;
    QTest::newRow("links replaced, never written through") << links << 0 << false << 0;
    QTest::newRow("the fourth file over the size limit: nothing changes")
        << links << 5000 << false << 6;
    QTest::newRow("the fourth rename refused after three: all put back")
        << QStringList{"header.json=old", "icon.png=old", "code.bin=link", "addin.asm=old"} << 0
        << true << 6;
}

// unpack --force leaves the folder whole or exactly as it was, and never changes or makes a
// file outside it: every entry is compared, inodes and link texts included.
void CliFiles::unpackFolderWholeOrUnchanged() {
    QFETCH(QStringList, planted);
    QFETCH(int, limit);
    QFETCH(bool, asNobody);
    QFETCH(int, code);
    if (asNobody && !ChildProcess::runningAsRoot()) {
        QSKIP("another user's file in a sticky folder needs root to set up");
    }

    TestFiles files;
    const QString input = files.write("a.rex", TestFiles::addin("Clock", "Shows time", 4000));
    const QString out = files.path("out");
    QVERIFY(QDir().mkdir(out));
    files.write("outside", "outside\n");
    for (const QString& entry : planted) {
        const QString name = out + '/' + entry.section('=', 0, 0);
        const QString kind = entry.section('=', 1);
        if (kind == "old") {
            files.write("out/" + entry.section('=', 0, 0), "old " + name.toUtf8());
        } else if (kind == "hard link") {
            QCOMPARE(::link(native(files.path("outside")).constData(), native(name).constData()),
                     0);
        } else {
            QVERIFY(QFile::link(kind == "link" ? "../outside" : "../made", name));
        }
        const bool nobodys = asNobody && !name.endsWith("addin.asm");
        QCOMPARE(::lchown(native(name).constData(), nobodys ? 65534 : 0, nobodys ? 65534 : 0), 0);
    }
    if (asNobody) {
        QVERIFY(::chmod(native(files.path(".")).constData(), 0755) == 0 &&
                ::chmod(native(input).constData(), 0644) == 0 &&
                ::chmod(native(out).constData(), 01777) == 0 &&
                ::chmod(native(out + "/addin.asm").constData(), 0666) == 0);
    }
    TestFiles fresh;
    QCOMPARE(CliRun({"unpack", input, "-o", fresh.path("out")}).code, 0);
    QMap<QString, QByteArray> before = snapshot(files.path("."));

    const std::optional<QByteArray> run = ChildProcess::run(
        [&] {
            const FileSizeLimit capped(limit > 0 ? rlim_t(limit) : RLIM_INFINITY);
            const CliRun unpack({"unpack", input, "-o", out, "--force"});
            return QByteArray::number(unpack.code) + ' ' + unpack.err;
        },
        asNobody ? std::optional<ChildProcess::User>({65534, 65534, {}}) : std::nullopt);
    QVERIFY(run);
    QVERIFY2(run->startsWith(QByteArray::number(code) + ' '), run->constData());
    QMap<QString, QByteArray> after = snapshot(files.path("."));
    if (code != 0) {
        QCOMPARE(run->count('\n'), 1);
        QCOMPARE(after, before);
        return;
    }
    QCOMPARE(entries(out), entries(fresh.path("out")));
    for (const QString& name : entries(out)) {
        const struct stat info = statOf(out + '/' + name);
        QVERIFY(S_ISREG(info.st_mode) && info.st_nlink == 1);
        QCOMPARE(TestFiles::read(out + '/' + name), TestFiles::read(fresh.path("out/" + name)));
        after.remove("out/" + name);
        before.remove("out/" + name);
    }
    QCOMPARE(after, before);
}

void CliFiles::namesThatAreNotUtf8_data() {
    QTest::addColumn<QStringList>("arguments"); // @raw: "a\xFF.rex"; @twin: "a\xEF\xBF\xBD.rex"
    QTest::addColumn<bool>("rawPresent");
    QTest::addColumn<bool>("twinPresent");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("rawAfter"); // empty: no such file
    QTest::addColumn<QString>("says");

    const QByteArray raw = TestFiles::addin("Clock", "Not UTF-8", 100, 5000);
    const QByteArray twin = TestFiles::addin("Twins", "UTF-8", 100, 5000);
    const QByteArray padded = raw + QByteArray(8192 - 5000, char(0xFF));
    QTest::newRow("info reads the file named")
        << QStringList{"info", "@raw"} << true << true << 0 << raw << "name: Clock";
    QTest::newRow("patch patches the file named")
        << QStringList{"patch", "@raw", "--name", "Evil"} << true << true << 0
        << withName(raw, "Evil ") << "";
    QTest::newRow("pad pads the file named")
        << QStringList{"pad", "@raw"} << true << true << 0 << padded
        << "a\\xFF.rex: padded from 5000 to 8192 bytes";
    QTest::newRow("patch -o writes the file named")
        << QStringList{"patch", "@twin", "--name", "Evil", "-o", "@raw"} << true << true << 0
        << withName(twin, "Evil ") << "";
    QTest::newRow("patch -o makes the file named")
        << QStringList{"patch", "@twin", "--name", "Evil", "-o", "@raw"} << false << true << 0
        << withName(twin, "Evil ") << "";
    QTest::newRow("without the twin") << QStringList{"patch", "@raw", "--name", "Evil"} << true
                                      << false << 0 << withName(raw, "Evil ") << "";
    QTest::newRow("the twin alone is not the file named")
        << QStringList{"patch", "@raw", "--name", "Evil"} << false << true << 3 << QByteArray()
        << "a\\xFF.rex: no such file";
}

// The command-line's bytes name the file: never its twin, which Qt alone cannot tell apart.
void CliFiles::namesThatAreNotUtf8() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, rawPresent);
    QFETCH(bool, twinPresent);
    QFETCH(int, code);
    QFETCH(QByteArray, rawAfter);
    QFETCH(QString, says);

    TestFiles files;
    const QString rawName = FilePath::fromBytes("a\xFF.rex");
    const QString twinName = FilePath::fromBytes("a\xEF\xBF\xBD.rex");
    QVERIFY(!rawName.contains(QChar::ReplacementCharacter));
    const QByteArray twinBytes = TestFiles::addin("Twins", "UTF-8", 100, 5000);
    if (rawPresent) {
        files.write(rawName, TestFiles::addin("Clock", "Not UTF-8", 100, 5000));
    }
    if (twinPresent) {
        files.write(twinName, twinBytes);
    }
    arguments.replaceInStrings("@raw", files.path(rawName));
    arguments.replaceInStrings("@twin", files.path(twinName));

    const CliRun run(arguments);
    QCOMPARE(run.code, code);
    QVERIFY2(QString::fromUtf8(run.out + run.err).contains(says), run.out + run.err);
    QVERIFY(printable(run.out) && printable(run.err));
    QCOMPARE(exists(files.path(rawName)), !rawAfter.isEmpty());
    QCOMPARE(TestFiles::read(files.path(rawName)), rawAfter);
    if (twinPresent) {
        QCOMPARE(TestFiles::read(files.path(twinName)), twinBytes);
    }
    QStringList expected;
    if (!rawAfter.isEmpty()) {
        expected << rawName;
    }
    if (twinPresent) {
        expected << twinName;
    }
    expected.sort();
    QCOMPARE(entries(files.path(QString())), expected);
    QVERIFY(S_ISREG(statOf(files.path(rawAfter.isEmpty() ? twinName : rawName)).st_mode));
}

void CliFiles::controlCharactersInNames_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QString>("shown");

    QTest::newRow("a sequence that clears the screen") << QByteArray("a\x1B[2Jb") << "a\\x1B[2Jb";
    QTest::newRow("a sequence that sets the title")
        << QByteArray("t\x1B]0;owned\x07") << "t\\x1B]0;owned\\x07";
    QTest::newRow("a line break") << QByteArray("a\nb") << "a\\x0Ab";
    QTest::newRow("a carriage return") << QByteArray("a\rb") << "a\\x0Db";
    QTest::newRow("a tab") << QByteArray("a\tb") << "a\\x09b";
    QTest::newRow("DEL") << QByteArray("a\x7F") << "a\\x7F";
    QTest::newRow("the C1 control CSI in UTF-8") << QByteArray("a\xC2\x9B"
                                                               "2J")
                                                 << "a\\x9B2J";
    QTest::newRow("a backslash") << QByteArray("a\\x41") << "a\\\\x41";
    QTest::newRow("a byte that is not UTF-8") << QByteArray("a\xFF") << "a\\xFF";
}

// Every message that names the file shows it escaped, and stays one line.
void CliFiles::controlCharactersInNames() {
    QFETCH(QByteArray, name);
    QFETCH(QString, shown);

    TestFiles files;
    const QByteArray bytes = TestFiles::addin("Clock", "Shows time", 100, 5000);
    const QString path = files.write(FilePath::fromBytes(name + ".rex"), bytes);
    const QString folder = files.path(QStringLiteral("x")).chopped(1);
    const QByteArray shownPath = (folder + shown + ".rex").toUtf8();

    const CliRun pad({"pad", path});
    QCOMPARE(pad.code, 0);
    QCOMPARE(pad.out, shownPath + ": padded from 5000 to 8192 bytes\n");
    const QByteArray padded = bytes + QByteArray(8192 - 5000, char(0xFF));
    QCOMPARE(TestFiles::read(path), padded);

    const CliRun info({"info", path + "x"});
    QCOMPARE(info.code, 3);
    QCOMPARE(info.err, "mobrin-cli: " + shownPath + "x: no such file\n");

    const CliRun icon({"icon", path, "--png", path});
    QCOMPARE(icon.code, 6);
    QCOMPARE(icon.err, "mobrin-cli: " + shownPath +
                           ": cannot write the picture: it is the input file itself\n");
    QCOMPARE(TestFiles::read(path), padded);
    QVERIFY(S_ISREG(statOf(path).st_mode));
    QCOMPARE(entries(files.path(QString())), QStringList{FilePath::fromBytes(name + ".rex")});
}

void CliFiles::stoppedBySignals_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("signal");

    for (const char* command : {"patch", "patch -o", "icon --png", "pad"}) {
        QTest::addRow("%s, SIGINT", command) << command << SIGINT;
        QTest::addRow("%s, SIGTERM", command) << command << SIGTERM;
        QTest::addRow("%s, SIGHUP", command) << command << SIGHUP;
    }
}

// A child runs the command over and over and is stopped at a random moment, many times: the
// files are always whole, old or new, and no temporary file is ever left.
void CliFiles::stoppedBySignals() {
    QFETCH(QString, command);
    QFETCH(int, signal);
    constexpr int kRounds = 15;
    constexpr int kLongestWaitUs = 15000;

    TestFiles files;
    const bool pad = command == "pad";
    const QByteArray clock =
        pad ? TestFiles::addin("Clock", "Shows time", 100, 5000) : TestFiles::addin();
    const QString input = files.write("a.rex", clock);
    const QString out = files.path(command == "icon --png" ? "icon.png" : "out.rex");

    // Two different outcomes the loop alternates between.
    QList<QStringList> runs;
    if (command == "patch") {
        runs = {{"patch", input, "--name", "Tick"}, {"patch", input, "--name", "Tock"}};
    } else if (command == "patch -o") {
        runs = {{"patch", input, "--name", "Tick", "-o", out},
                {"patch", input, "--name", "Tock", "-o", out}};
    } else if (command == "icon --png") {
        runs = {{"icon", input, "--png", out, "--scale", "1"},
                {"icon", input, "--png", out, "--scale", "2"}};
    } else {
        runs = {{"pad", input}};
    }
    // Every state a file may be found in: the start, or what one whole run leaves.
    QList<QByteArray> inputStates{clock};
    QList<QByteArray> outStates{QByteArray()};
    for (const QStringList& arguments : runs) {
        QCOMPARE(CliRun(arguments).code, 0);
        if (command == "patch" || pad) {
            inputStates.append(TestFiles::read(input));
        } else {
            outStates.append(TestFiles::read(out));
        }
        files.write("a.rex", clock);
        ::unlink(native(out).constData());
    }

    for (int round = 0; round < kRounds; ++round) {
        const pid_t child = ChildProcess::start([&] {
            for (qsizetype i = 0;; ++i) {
                if (pad) {
                    AddinImage::writeFile(input, clock);
                }
                const CliRun run(runs[i % runs.size()]);
            }
        });
        QVERIFY(child > 0);
        ::usleep(useconds_t(QRandomGenerator::global()->bounded(kLongestWaitUs)));
        QCOMPARE(::kill(child, signal), 0);
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == signal);

        QVERIFY2(inputStates.contains(TestFiles::read(input)), qPrintable(QString::number(round)));
        QVERIFY(S_ISREG(statOf(input).st_mode));
        QStringList expected{"a.rex"};
        if (exists(out)) {
            QVERIFY(S_ISREG(statOf(out).st_mode));
            QVERIFY(outStates.contains(TestFiles::read(out)));
            expected << QFileInfo(out).fileName();
            expected.sort();
        }
        QCOMPARE(entries(files.path(QString())), expected);
    }
}

void CliFiles::padRacesAnAppender_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("chunk"); // bytes the other program appends

    QTest::newRow("a bare header, one byte appended") << 205 << 1;
    QTest::newRow("5000 bytes, 100 appended") << 5000 << 100;
    QTest::newRow("8000 bytes, 300 appended") << 8000 << 300;
    QTest::newRow("8191 bytes, one byte appended") << 8191 << 1;
}

// Another program appends once while pad runs, at a random moment: its bytes are never turned
// into padding. Either pad measured the file before or after them and the padding follows
// the file's end, or it reports the change (exit 6) and leaves the file as the other program
// made it.
void CliFiles::padRacesAnAppender() {
    QFETCH(int, size);
    QFETCH(int, chunk);
    constexpr int kRounds = 60;
    constexpr int kLongestWaitUs = 400;

    TestFiles files;
    const QByteArray original = TestFiles::addin("Clock", "Shows time", size - 205, 0);
    const QByteArray appended(chunk, 'A');
    const auto padding = [](qsizetype length) {
        return QByteArray(qMax<qsizetype>(0, 8192 - length), char(0xFF));
    };
    const QByteArray measuredAfter = original + appended + padding(size + chunk);
    const QByteArray appendedAfter = original + padding(size) + appended;
    const QByteArray untouched = original + appended;

    for (int round = 0; round < kRounds; ++round) {
        const QString path = files.write("a.rex", original);
        const int wait = QRandomGenerator::global()->bounded(kLongestWaitUs);
        std::thread other([&] {
            ::usleep(useconds_t(wait));
            appendTo(path, appended);
        });
        const CliRun run({"pad", path});
        other.join();

        const QByteArray bytes = TestFiles::read(path);
        QVERIFY(S_ISREG(statOf(path).st_mode));
        if (run.code == 0) {
            QVERIFY2(
                bytes == measuredAfter || bytes == appendedAfter,
                qPrintable(QStringLiteral("round %1, appended after %2 us").arg(round).arg(wait)));
        } else {
            QCOMPARE(run.code, 6);
            QVERIFY2(run.oneErrorLine(), run.err.constData());
            QCOMPARE(bytes, untouched);
        }
        QCOMPARE(entries(files.path(QString())), QStringList{"a.rex"});
    }
}

// While unpack --force runs again and again, another program puts a link to a file outside
// the folder in the place of each of the four files in turn, over and over: the file outside
// never changes, its modification time included. Left alone, the four files get one time.
void CliFiles::unpackRacesALinkSwapper() {
    const QStringList names{"header.json", "icon.png", "code.bin", "addin.asm"};
    TestFiles files;
    const QString input = files.write("a.rex", TestFiles::addin("Clock", "Shows time", 4000));
    const QString out = files.path("out");
    QVERIFY(QDir().mkdir(out));
    const QByteArray outside = native(files.write("outside", "outside\n"));
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, outside.constData(), old, 0), 0);

    std::atomic<bool> done = false;
    std::thread swapper([&] {
        for (int i = 0; !done; ++i) {
            const QByteArray swap = native(out + "/.swap");
            std::ignore = ::symlink("../outside", swap.constData());
            ::rename(swap.constData(), native(out + '/' + names[i % 4]).constData());
        }
    });
    for (int round = 0; round < 40; ++round) {
        const CliRun run({"unpack", input, "-o", out, "--force"});
        QVERIFY2(run.code == 0, run.err.constData());
    }
    done = true;
    swapper.join();
    QCOMPARE(statOf(files.path("outside")).st_mtim.tv_sec, old[0].tv_sec);
    QCOMPARE(TestFiles::read(files.path("outside")), "outside\n");

    QCOMPARE(CliRun({"unpack", input, "-o", out, "--force"}).code, 0);
    const auto modified = [&](const QString& name) {
        const struct stat info = statOf(out + '/' + name);
        return S_ISREG(info.st_mode) ? std::pair(info.st_mtim.tv_sec, info.st_mtim.tv_nsec)
                                     : std::pair(time_t(0), long(0));
    };
    for (const QString& name : names) {
        QCOMPARE(modified(name), modified("header.json"));
    }
}

QTEST_GUILESS_MAIN(CliFiles)
#include "tst_cli_files.moc"

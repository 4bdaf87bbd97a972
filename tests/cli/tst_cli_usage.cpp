// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChildProcess.h"
#include "CliRun.h"
#include "CommandUsage.h"
#include "TestFiles.h"
#include "Version.h"

#include <QProcess>
#include <QtTest>

#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QStringList kCommands = {"info",   "dump",   "icon",   "patch", "pad",
                               "disasm", "source", "unpack", "run"};

// The smallest arguments with which each command would run on `path`.
QStringList commandFor(const QString& command, const QString& path) {
    if (command == "patch") {
        return {"patch", path, "--name", "X"};
    }
    if (command == "unpack") {
        return {"unpack", path, "-o", path + ".d"};
    }
    if (command == "build") {
        return {"build", "--code", path, "--name", "X", "-o", path + ".out"};
    }
    return {command, path};
}

} // namespace

class CliUsage : public QObject {
    Q_OBJECT

private slots:
    void programHelp_data();
    void programHelp();
    void commandHelp_data();
    void commandHelp();
    void usageText_data();
    void usageText();
    void version();
    void usageErrors_data();
    void usageErrors();
    void unreadable_data();
    void unreadable();
    void realProgram_data();
    void realProgram();
    void outputToFullDisk_data();
    void outputToFullDisk();
};

void CliUsage::programHelp_data() {
    QTest::addColumn<QString>("option");
    QTest::newRow("--help") << "--help";
    QTest::newRow("-h") << "-h";
    QTest::newRow("help") << "help";
}

void CliUsage::programHelp() {
    QFETCH(QString, option);
    const CliRun run({option});
    QCOMPARE(run.code, 0);
    QVERIFY(run.err.isEmpty());
    QVERIFY(run.out.startsWith("Usage: mobrin-cli COMMAND"));
    for (const QString& command : kCommands) {
        QVERIFY2(run.out.contains("  " + command.toUtf8() + " FILE"), qPrintable(command));
    }
}

void CliUsage::commandHelp_data() {
    QTest::addColumn<QStringList>("arguments");
    for (const QString& command : kCommands) {
        QTest::addRow("%s --help", qPrintable(command)) << QStringList{command, "--help"};
        QTest::addRow("%s -h", qPrintable(command)) << QStringList{command, "-h"};
        QTest::addRow("%s FILE --help", qPrintable(command))
            << QStringList{command, "/nowhere/a.rex", "--help"};
    }
}

void CliUsage::commandHelp() {
    QFETCH(QStringList, arguments);
    const CliRun run(arguments);
    QCOMPARE(run.code, 0);
    QVERIFY(run.err.isEmpty());
    QVERIFY2(run.out.startsWith("Usage: mobrin-cli " + arguments.first().toUtf8() + " FILE"),
             run.out.constData());
}

void CliUsage::usageText_data() {
    QTest::addColumn<QStringList>("forms"); // "synopsis|summary|help" or "...|overview": only there
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("overview");
    const QString at41 = QString(41, ' ');
    QTest::newRow("a short form, its summary beside it")
        << QStringList{"pad FILE|pad it"} << "Usage: mobrin-cli pad FILE\n\nDetails.\n"
        << "  pad FILE" + QString(31, ' ') + "pad it\n";
    QTest::newRow("a long form, its summary of two lines below it")
        << QStringList{"disasm FILE [--all] [--base ADDRESS] [--no-labels]|the code,\nwith labels"}
        << "Usage: mobrin-cli disasm FILE [--all] [--base ADDRESS] [--no-labels]\n\nDetails.\n"
        << "  disasm FILE [--all] [--base ADDRESS] [--no-labels]\n" + at41 + "the code,\n" + at41 +
               "with labels\n";
    QTest::newRow("wrapped at 80 under the first option")
        << QStringList{"make --code CODE.bin --name TEXT [--description TEXT] [--class TEXT] "
                       "[--icon PICTURE] -o OUT|makes"}
        << "Usage: mobrin-cli make --code CODE.bin --name TEXT [--description TEXT]\n" +
               QString(23, ' ') + "[--class TEXT] [--icon PICTURE] -o OUT\n\nDetails.\n"
        << "  make --code CODE.bin --name TEXT [--description TEXT] [--class TEXT]\n" +
               QString(7, ' ') + "[--icon PICTURE] -o OUT" + QString(11, ' ') + "makes\n";
    QTest::newRow("forms for the help or the overview only")
        << QStringList{"x FILE [--all]||help", "x --from DIR||help", "x FILE|lists|overview"}
        << "Usage: mobrin-cli x FILE [--all]\n       mobrin-cli x --from DIR\n\nDetails.\n"
        << "  x FILE" + QString(33, ' ') + "lists\n";
}

void CliUsage::usageText() {
    QFETCH(QStringList, forms);
    QFETCH(QString, help);
    QFETCH(QString, overview);
    QList<QByteArrayList> texts; // what the forms point into
    CommandUsage usage{"x", {}, "Details.\n"};
    for (const QString& form : forms) {
        texts.append(form.toLatin1().split('|') << QByteArray());
        const QByteArray& where = texts.last()[2];
        usage.forms.push_back({texts.last()[0].constData(), texts.last()[1].constData(),
                               where == "help"       ? CommandUsage::Form::Shown::InHelp
                               : where == "overview" ? CommandUsage::Form::Shown::InOverview
                                                     : CommandUsage::Form::Shown::Everywhere});
    }
    QCOMPARE(usage.help(), help);
    QCOMPARE(usage.overview(), overview);
}

void CliUsage::version() {
    const CliRun run({"--version"});
    QCOMPARE(run.code, 0);
    QCOMPARE(run.out, QByteArray("mobrin-cli ") + Version::kText + "\n");
    QCOMPARE(QByteArray(Version::kText), QByteArray("1.0.1"));
}

void CliUsage::usageErrors_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList{};
    QTest::newRow("unknown command") << QStringList{"show", "a.rex"};
    QTest::newRow("a file instead of a command") << QStringList{"a.rex"};
    for (const QString& command : kCommands) {
        QTest::addRow("%s without a file", qPrintable(command)) << QStringList{command};
        QTest::addRow("%s with two files", qPrintable(command))
            << commandFor(command, "a.rex") + QStringList{"b.rex"};
        QTest::addRow("%s with an unknown option", qPrintable(command))
            << commandFor(command, "a.rex") + QStringList{"--verbose"};
    }
    QTest::newRow("--name without its text") << QStringList{"patch", "a.rex", "--name"};
    QTest::newRow("--base without its address") << QStringList{"disasm", "a.rex", "--base"};
    QTest::newRow("diff with one file") << QStringList{"diff", "a.rex"};
    QTest::newRow("diff with three files") << QStringList{"diff", "a.rex", "a.rex", "a.rex"};
    QTest::newRow("diff with an unknown option") << QStringList{"diff", "a.rex", "a.rex", "--dec"};
    QTest::newRow("--scale without its number")
        << QStringList{"icon", "a.rex", "--png", "b.png", "--scale"};
    QTest::newRow("icon --from and a file") << QStringList{"icon", "a.rex", "--from", "a.rex"};
    QTest::newRow("icon --from with --png")
        << QStringList{"icon", "--from", "a.rex", "--png", "b.png"};
    QTest::newRow("icon --from without its picture") << QStringList{"icon", "--from"};
    QTest::newRow("icon --from with an empty name") << QStringList{"icon", "--from", ""};
    QTest::newRow("--icon without its picture") << QStringList{"patch", "a.rex", "--icon"};
    QTest::newRow("--icon with an empty name") << QStringList{"patch", "a.rex", "--icon", ""};
    QTest::newRow("--icon twice") << QStringList{"patch", "a.rex", "--icon", "a", "--icon", "b"};
    QTest::newRow("--name twice") << QStringList{"patch", "a.rex", "--name", "A", "--name", "B"};
    QTest::newRow("-o and --output")
        << QStringList{"patch", "a.rex", "--name", "A", "-o", "b", "--output", "c"};
    QTest::newRow("--base twice") << QStringList{"disasm", "a.rex", "--base", "1", "--base", "2"};
}

void CliUsage::usageErrors() {
    QFETCH(QStringList, arguments);
    TestFiles files;
    const QByteArray clock = TestFiles::addin();
    arguments.replaceInStrings("a.rex", files.write("a.rex", clock));
    const CliRun run(arguments);
    QCOMPARE(run.code, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QVERIFY2(run.err.contains("--help"), run.err.constData());
    QCOMPARE(TestFiles::read(files.path("a.rex")), clock);
}

void CliUsage::unreadable_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("kind");
    for (const QString& command : kCommands) {
        for (const char* kind :
             {"missing", "folder", "fifo", "9001 bytes", "100000 bytes", "link loop"}) {
            QTest::addRow("%s, %s", qPrintable(command), kind) << command << QString(kind);
        }
    }
    // Read as a code file is read, too.
    for (const QString& command : kCommands + QStringList{"build"}) {
        QTest::addRow("%s, mode 000", qPrintable(command)) << command << QString("mode 000");
    }
}

void CliUsage::unreadable() {
    QFETCH(QString, command);
    QFETCH(QString, kind);

    TestFiles files;
    QString path = files.path("a.rex");
    QByteArray bytes;
    if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "link loop") {
        QVERIFY(QFile::link("b.rex", path) && QFile::link("a.rex", files.path("b.rex")));
    } else if (kind.endsWith("bytes")) {
        bytes = TestFiles::addin("Clock", "Shows time", 100, kind.split(' ').first().toInt());
        files.write("a.rex", bytes);
    }
    if (kind == "mode 000") {
        // The folder open to all, the file to none: as root, the command runs as the user
        // nobody, whom the bits stop, and it says why in the system's words.
        files.write("a.rex", TestFiles::addin());
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(::chmod(QFile::encodeName(files.path(".")).constData(), 0755) == 0 &&
                ::chmod(name.constData(), 0) == 0);
        const auto said = ChildProcess::run(
            [&] {
                if (::access(name.constData(), R_OK) == 0) {
                    return QByteArray("readable");
                }
                const CliRun run(commandFor(command, path));
                return QByteArray::number(run.code) + ' ' + run.out + run.err;
            },
            ChildProcess::runningAsRoot() ? std::optional<ChildProcess::User>({65534, 65534, {}})
                                          : std::nullopt);
        QVERIFY(said);
        if (*said == "readable") {
            QSKIP("this user reads a file of mode 000 all the same (CAP_DAC_OVERRIDE)");
        }
        QCOMPARE(*said, "3 mobrin-cli: " + name + ": cannot read the file: Permission denied\n");
        QCOMPARE(QDir(files.path(QString())).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"a.rex"});
        return;
    }
    const CliRun run(commandFor(command, path));
    QCOMPARE(run.code, 3);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    if (!bytes.isEmpty()) {
        QCOMPARE(TestFiles::read(path), bytes);
        QVERIFY(run.err.contains(QByteArray::number(bytes.size()) + " bytes"));
    }
    if (kind == "link loop") {
        QVERIFY2(run.err.endsWith(": Too many levels of symbolic links\n"), run.err.constData());
    }
    QCOMPARE(QDir(files.path(QString()))
                 .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             kind == "missing"
                 ? QStringList{}
                 : (kind == "link loop" ? QStringList{"a.rex", "b.rex"} : QStringList{"a.rex"}));
}

void CliUsage::realProgram_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("info") << QStringList{"info", "@"};
    QTest::newRow("info --json") << QStringList{"info", "@", "--json"};
    QTest::newRow("dump: UTF-8 en dash and DEL") << QStringList{"dump", "@"};
    QTest::newRow("icon: CR LF kept") << QStringList{"icon", "@"};
    QTest::newRow("not an add-in") << QStringList{"icon", "@", "--png", "/proc/x.png"};
    QTest::newRow("disasm") << QStringList{"disasm", "@", "--all"};
    QTest::newRow("source") << QStringList{"source", "@"};
    QTest::newRow("usage") << QStringList{"info"};
    QTest::newRow("help") << QStringList{"--help"};
}

void CliUsage::realProgram() {
    QFETCH(QStringList, arguments);
    TestFiles files;
    // A header and code holding a hyphen, a DEL and high bytes, which the dump shows in UTF-8.
    QByteArray bytes = TestFiles::addin("Cl-ck", "Shows time", 0, 0);
    bytes += QByteArray("-\x7F\x80\xFF", 4);
    arguments.replaceInStrings("@", files.write("a.rex", bytes));
    compareWithProgram(arguments);
}

void CliUsage::outputToFullDisk_data() {
    QTest::addColumn<QStringList>("arguments"); // @x: x.rex; a.rex warns, b.rex differs
    QTest::addColumn<int>("code");
    QTest::newRow("info") << QStringList{"info", "@a", "--json"} << 6;
    QTest::newRow("dump") << QStringList{"dump", "@a"} << 6;
    QTest::newRow("icon") << QStringList{"icon", "@a"} << 6;
    QTest::newRow("disasm") << QStringList{"disasm", "@a"} << 6;
    QTest::newRow("source") << QStringList{"source", "@a"} << 6;
    QTest::newRow("check, a warning") << QStringList{"check", "@a"} << 6;
    QTest::newRow("check, problems found") << QStringList{"check", "@a", "--strict"} << 6;
    QTest::newRow("check, a file missing") << QStringList{"check", "@a", "@missing"} << 3;
    QTest::newRow("diff, the files differ") << QStringList{"diff", "@a", "@b"} << 6;
    QTest::newRow("diff, the same files: nothing to write") << QStringList{"diff", "@a", "@a"} << 0;
    QTest::newRow("patch -o: nothing to write")
        << QStringList{"patch", "@a", "--name", "X", "-o", "@c"} << 0;
    QTest::newRow("--help") << QStringList{"--help"} << 6;
    QTest::newRow("a command's --help") << QStringList{"unpack", "--help"} << 6;
    QTest::newRow("--version") << QStringList{"--version"} << 6;
}

// Output cut by a full disk is never reported as done, by the real program and in-process.
void CliUsage::outputToFullDisk() {
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    TestFiles files;
    files.write("a.rex", TestFiles::addin());
    files.write("b.rex", TestFiles::addin("Other"));
    for (QString& argument : arguments) {
        if (argument.startsWith('@')) {
            argument = files.path(argument.mid(1) + ".rex");
        }
    }

    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    QVERIFY(full >= 0);
    std::ostringstream errStream;
    QCOMPARE(CliMain::runToFile(arguments, full, errStream), code);
    ::close(full);
    const QByteArray err = QByteArray::fromStdString(errStream.str());
    const QByteArray says =
        "mobrin-cli: cannot write to standard output: No space left on device\n";
    QCOMPARE(err.endsWith(says), !CliRun(arguments).out.isEmpty());
    QCOMPARE(err.count('\n'), (code == 3) + err.endsWith(says));

    QProcess program;
    program.setStandardOutputFile(QStringLiteral("/dev/full"));
    program.start(QStringLiteral(MOBRIN_BUILD_DIR "/cli/mobrin-cli"), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitCode(), code);
    QCOMPARE(program.readAllStandardError(), err);
}

QTEST_GUILESS_MAIN(CliUsage)
#include "tst_cli_usage.moc"

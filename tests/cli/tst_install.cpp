// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRun.h"
#include "TestFiles.h"
#include "Version.h"

#include <QDirIterator>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kBuildDir = QStringLiteral(MOBRIN_BUILD_DIR);

struct Finished {
    int code = -1;
    QByteArray output;
};

Finished
runTool(const QString& program, const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {process.exitCode(), process.readAll()};
}

const QStringList kCliCommands = {"info",  "dump", "icon",  "patch", "pad",    "disasm", "source",
                                  "marks", "diff", "check", "build", "unpack", "run"};

// The options a help text lists at the start of its lines ("  -o, --output OUT", "  --json").
QStringList listedOptions(const QByteArray& help) {
    static const QRegularExpression option(R"((?<=^  |^  -., )--?[a-z][a-z0-9-]*)",
                                           QRegularExpression::MultilineOption);
    QStringList options;
    for (const QRegularExpressionMatch& match : option.globalMatch(QString::fromUtf8(help))) {
        options << match.captured();
    }
    return options;
}

// The first group of `pattern` in `text`, its lines matched one by one.
QString firstMatch(const QString& pattern, const QByteArray& text) {
    const QRegularExpression expression(pattern, QRegularExpression::MultilineOption);
    return expression.match(QString::fromUtf8(text)).captured(1);
}

} // namespace

// Installs the build into a private DESTDIR with the prefix /usr, as a package build does, and
// unpacks its .deb into another (nothing goes into the system), then checks what both hold.
class Install : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everythingUnderThePrefix();
    void packageHoldsTheInstalledFiles();
    void files_data();
    void files();
    void icons_data();
    void icons();
    void validators_data();
    void validators();
    void mimeDatabaseTakesThePackage();
    void versionsAgree();
    void listedEverywhere_data();
    void listedEverywhere();

private:
    QString installed(const QString& relative) const { return m_root.filePath("usr/" + relative); }
    QString packaged(const QString& relative) const { return m_deb.filePath("usr/" + relative); }

    QTemporaryDir m_root;
    QTemporaryDir m_deb; // mobrin.deb, unpacked beside it
};

void Install::initTestCase() {
    QVERIFY(m_root.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DESTDIR", m_root.path());
    const Finished install =
        runTool("cmake", {"--install", kBuildDir, "--prefix", "/usr"}, environment);
    QVERIFY2(install.code == 0, install.output.constData());
    const Finished pack =
        runTool("sh", {"-c",
                       R"(cpack -G DEB --config "$0" -B "$1" && mv "$1"/*.deb "$1/mobrin.deb" &&)"
                       R"( dpkg-deb -x "$1/mobrin.deb" "$1")",
                       kBuildDir + "/CPackConfig.cmake", m_deb.path()});
    QVERIFY2(pack.code == 0, pack.output.constData());
}

void Install::everythingUnderThePrefix() {
    QCOMPARE(QDir(m_root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"usr"});
}

// The same files, the programs stripped of their symbols and debug information.
void Install::packageHoldsTheInstalledFiles() {
    const Finished diff = runTool("diff", {"-rq", "-x", "bin", installed(""), packaged("")});
    QVERIFY2(diff.code == 0, diff.output.constData());
    const QStringList programs = QDir(installed("bin")).entryList(QDir::Files);
    QCOMPARE(QDir(packaged("bin")).entryList(QDir::Files), programs);
    for (const QString& program : programs) {
        const QByteArray sections = runTool("readelf", {"-SW", packaged("bin/" + program)}).output;
        QVERIFY2(sections.contains(".text") && !sections.contains(".symtab") &&
                     !sections.contains(".debug_"),
                 qPrintable(program));
    }
}

void Install::files_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::newRow("companion") << "bin/mobrin-cli" << true;
    if (QFileInfo::exists(kBuildDir + "/src/mobrin")) {
        QTest::newRow("window") << "bin/mobrin" << true;
    }
    QTest::newRow("menu entry") << "share/applications/org.keldor.Mobrin.desktop" << false;
    QTest::newRow("software-centre description")
        << "share/metainfo/org.keldor.Mobrin.metainfo.xml" << false;
    QTest::newRow("file types") << "share/mime/packages/mobrin-mime.xml" << false;
    QTest::newRow("manual page") << "share/man/man1/mobrin.1.gz" << false;
    QTest::newRow("manual page, companion") << "share/man/man1/mobrin-cli.1.gz" << false;
    QTest::newRow("manual page, marks file") << "share/man/man5/mobrin.5.gz" << false;
    QTest::newRow("bash completion") << "share/bash-completion/completions/mobrin-cli" << false;
}

void Install::files() {
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo info(installed(path));
    QVERIFY2(info.isFile(), qPrintable(info.filePath()));
    QCOMPARE(info.isExecutable(), executable);
}

void Install::icons_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        QTest::addRow("%dx%d", size, size)
            << QStringLiteral("%1x%1/apps/org.keldor.Mobrin.png").arg(size) << size;
    }
    // The SVG itself, read at its own size.
    QTest::newRow("scalable") << "scalable/apps/org.keldor.Mobrin.svg" << 256;
}

void Install::icons() {
    QFETCH(QString, path);
    QFETCH(int, size);
    const QImage icon(installed("share/icons/hicolor/" + path));
    QVERIFY2(!icon.isNull(), qPrintable(path));
    QCOMPARE(icon.size(), QSize(size, size));
    // Not a blank square: the drawing reached the file.
    const QRgb corner = icon.pixel(0, 0);
    bool drawn = false;
    for (int y = 0; y < size && !drawn; ++y) {
        for (int x = 0; x < size && !drawn; ++x) {
            drawn = icon.pixel(x, y) != corner;
        }
    }
    QVERIFY(drawn);
}

void Install::validators_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    // The package's copies, which are the installed files.
    const QString desktop = packaged("share/applications/org.keldor.Mobrin.desktop");
    const QString metainfo = packaged("share/metainfo/org.keldor.Mobrin.metainfo.xml");
    QTest::newRow("desktop-file-validate") << "desktop-file-validate" << QStringList{desktop};
    QTest::newRow("xmllint, file types")
        << "xmllint" << QStringList{"--noout", packaged("share/mime/packages/mobrin-mime.xml")};
    QTest::newRow("xmllint, description") << "xmllint" << QStringList{"--noout", metainfo};
    QTest::newRow("appstreamcli") << "appstreamcli"
                                  << QStringList{"validate", "--no-net", metainfo};
    // The rendered page goes nowhere; what man says on stderr is a warning about the page.
    for (const char* page : {"man1/mobrin.1.gz", "man1/mobrin-cli.1.gz", "man5/mobrin.5.gz"}) {
        if (QStandardPaths::findExecutable("man").isEmpty()) {
            break;
        }
        QTest::addRow("man --warnings, %s", page)
            << "sh"
            << QStringList{"-c", "man --warnings -l \"$0\" >/dev/null",
                           packaged(QStringLiteral("share/man/") + page)};
    }
}

void Install::validators() {
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
        QSKIP(qPrintable(tool + " is not installed"));
    }
    const Finished check = runTool(tool, arguments);
    QVERIFY2(check.code == 0, check.output.constData());
    // Warnings count too; only hints may remain (two main categories are chosen on purpose),
    // and appstreamcli's summary of a clean file.
    for (const QByteArray& line : check.output.split('\n')) {
        QVERIFY2(line.isEmpty() || line.contains(": hint: ") ||
                     line.startsWith("\xE2\x9C\x94 Validation was successful"),
                 line.constData());
    }
}

void Install::mimeDatabaseTakesThePackage() {
    if (QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        QSKIP("update-mime-database is not installed");
    }
    const QString mime = installed("share/mime");
    const Finished update = runTool("update-mime-database", {mime});
    QVERIFY2(update.code == 0, update.output.constData());
    // It only notes that this folder is not on the search path; a bad package is reported.
    QVERIFY2(!update.output.contains("rror") && !update.output.contains("arning"),
             update.output.constData());
    QFile globs(mime + "/globs2");
    QVERIFY(globs.open(QIODevice::ReadOnly));
    const QByteArray globList = globs.readAll();
    QVERIFY(globList.contains(":application/x-rex-addin:*.rex"));
    QCOMPARE(globList.count(":application/x-dataslim2-addin:*.ds2"), 1);
    QFile magic(mime + "/magic");
    QVERIFY(magic.open(QIODevice::ReadOnly));
    const QByteArray rules = magic.readAll();
    QVERIFY(rules.contains("[60:application/x-rex-addin]\n>0=\0\x10"
                           "ApplicationName:"));
    QVERIFY(rules.contains("[50:application/x-dataslim2-addin]\n>0=\0\x10"
                           "ApplicationName:"));
    QVERIFY(QFileInfo(mime + "/application/x-rex-addin.xml").isFile());
    QVERIFY(QFileInfo(mime + "/application/x-dataslim2-addin.xml").isFile());
}

// The project's version is the newest everywhere, and the changelog's date the AppStream one;
// an UNRELEASED entry gathers what the next version will bring.
void Install::versionsAgree() {
    const QString version = Version::kText;
    QCOMPARE(runTool(packaged("bin/mobrin-cli"), {"--version"}).output,
             "mobrin-cli " + version.toUtf8() + "\n");
    const QByteArray control = runTool("dpkg-deb", {"-f", m_deb.filePath("mobrin.deb")}).output;
    QCOMPARE(firstMatch("^Version: (.*)$", control), version);
    const QByteArray appStream =
        TestFiles::read(packaged("share/metainfo/org.keldor.Mobrin.metainfo.xml"));
    QCOMPARE(firstMatch("<release version=\"(.*?)\"", appStream), version);
    const QByteArray news =
        runTool("gzip", {"-dc", packaged("share/doc/mobrin/changelog.gz")}).output;
    static const QRegularExpression released(
        R"(^mobrin \(([^)]*)\) unstable;.*?^ -- [^>]*>  ([^\n]*)$)",
        QRegularExpression::MultilineOption | QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch entry = released.match(QString::fromUtf8(news));
    QCOMPARE(entry.captured(1), version);
    const QDateTime date = QDateTime::fromString(entry.captured(2), Qt::RFC2822Date);
    QCOMPARE(date.date().toString(Qt::ISODate),
             firstMatch("<release .*?date=\"(.*?)\"", appStream));
}

// Every command and option the programs' help lists is in their manual page, and completing
// the command (or "-" after it) offers exactly those.
void Install::listedEverywhere_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("words"); // what is being completed; empty: no completion
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("commands") << "mobrin-cli.1.gz"
                              << "''" << kCliCommands + QStringList{"--help", "--version"};
    for (const QString& command : kCliCommands) {
        QTest::addRow("%s", qPrintable(command))
            << "mobrin-cli.1.gz" << command + " -"
            << listedOptions(CliRun({command, "--help"}).out) + QStringList{"--help"};
    }
    if (QFileInfo::exists(installed("bin/mobrin"))) {
        QTest::newRow("window") << "mobrin.1.gz" << QString()
                                << listedOptions(
                                       runTool(installed("bin/mobrin"), {"--help"}).output);
    }
}

void Install::listedEverywhere() {
    QFETCH(QString, page);
    QFETCH(QString, words);
    QFETCH(QStringList, offered);
    const QByteArray source = runTool("gzip", {"-dc", installed("share/man/man1/" + page)}).output;
    for (QString word : offered) {
        QVERIFY2(source.contains(word.replace("-", "\\-").toUtf8()), qPrintable(word));
    }
    if (words.isEmpty()) {
        return;
    }
    const QString script = QStringLiteral(
        "source %1; COMP_WORDS=(mobrin-cli %2); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); "
        "_mobrin_cli; printf '%s\\n' \"${COMPREPLY[@]}\"");
    const Finished run = runTool(
        "bash",
        {"-c", script.arg(installed("share/bash-completion/completions/mobrin-cli"), words)});
    QStringList got = QString::fromUtf8(run.output).split('\n', Qt::SkipEmptyParts);
    got.sort();
    offered.sort();
    QCOMPARE(got, offered);
}

QTEST_GUILESS_MAIN(Install)
#include "tst_install.moc"

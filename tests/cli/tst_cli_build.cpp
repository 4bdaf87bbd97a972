// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "AddinParts.h"
#include "CliRun.h"
#include "FileSizeLimit.h"
#include "HeaderJson.h"
#include "IconPicture.h"
#include "IconPixels.h"
#include "NumberForm.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QByteArray kCode("\x21\x07\x80\xCD\x34\x12\xC9", 7);
const QByteArray kWhite(AddinHeader::kIconBytes, '\0');
const QByteArray kAddin = TestFiles::addin("Clock", "Shows time", 4000); // header 205 bytes

QByteArray made(const QByteArray& header, const QByteArray& code, int length = 8192) {
    return header + code +
           QByteArray(qMax<qsizetype>(0, length - header.size() - code.size()), '\xFF');
}

// Every file in the folder with its bytes, so that a refusal can be shown to change nothing.
QMap<QString, QByteArray> contents(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator entries(folder, QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        files.insert(path, QFileInfo(path).isFile() ? TestFiles::read(path) : QByteArray("dir"));
    }
    return files;
}

// The `index`th of the random add-ins: random texts (undefined Windows-1252 codes, NULs and
// LFs included), words, icon and code, and in turn a description with CR LF, odd bytes after
// both CRs, a file not padded, and code ending in 0xFF.
QByteArray randomAddin(QRandomGenerator& random, int index) {
    const auto text = [&random](int most, char terminator) {
        QByteArray bytes;
        for (int i = random.bounded(most + 1); i > 0; --i) {
            const char byte = char(random.bounded(256));
            bytes += byte == terminator ? 'x' : byte;
        }
        return bytes;
    };
    const QByteArray classText = text(10, '\r') + ":addin";
    const QByteArray name = text(20, '\r');
    QByteArray bytes = buildAddinHeader(
        classText, name, text(20, '\0') + (index % 2 ? "\r\n" : "") + text(20, '\0'),
        random.generate(), random.generate(), TestFiles::randomIcon(random.generate()));
    if (index % 3 == 0) {
        bytes[17 + classText.size()] = char(random.bounded(256));
        bytes[19 + classText.size() + name.size()] = char(random.bounded(256));
    }
    bytes += 'c' + text(8997 - int(bytes.size()), '\xFF') + QByteArray(index % 3, '\xFF');
    const int padding = index % 4 ? random.bounded(9001 - int(bytes.size())) : 0;
    return made(bytes, {}, int(bytes.size()) + padding);
}

} // namespace

class CliBuild : public QObject {
    Q_OBJECT

private slots:
    void commands_data();
    void commands();
    void roundTrip_data();
    void roundTrip();
    void randomRoundTrips();
    void check_data();
    void check();
};

// build and unpack: what they write, and every refusal with the files as they were.
void CliBuild::commands_data() {
    QTest::addColumn<QString>("arguments"); // split at spaces; @ is the test's folder
    QTest::addColumn<QByteArray>("code");   // @/code.bin and @/dir/code.bin
    QTest::addColumn<QByteArray>("json");   // @/dir/header.json
    QTest::addColumn<QString>("setup"); // NAME=KIND, ... made first: old, fifo, link (to @/a.rex),
                                        // dangling (a link to nothing), loop, zero (a link to
                                        // /dev/zero), folder; newer and older: "changed",
                                        // modified 10 s after or before now; marks and
                                        // badmarks: a marks file, sound or with a bad line
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("expected"); // @/out.rex or @/out/code.bin, or what the error says
    const auto row = [](const char* name, const QString& arguments, int exitCode,
                        const QByteArray& expected, const QByteArray& code = kCode,
                        const QByteArray& json = {}, const char* setup = "") {
        QTest::newRow(name) << arguments << code << json << QString(setup) << exitCode << expected;
    };

    const QString plain = "build --code @/code.bin --name Clock -o @/out.rex ";
    const QString folder = "build --from @/dir -o @/out.rex ";
    const QByteArray clock = buildAddinHeader("Addin", "Clock", "", 7, 0, kWhite);
    row("defaults", plain, 0, made(clock, kCode));
    row("every option",
        plain + "--description Two\r\nlines€ --class Game:addin --icon @/icon.png --word1 $1FDF "
                "--word2 0x8000 --no-pad",
        0,
        buildAddinHeader("Game:addin", "Clock", "Two\r\nlines\x80", 0x1FDF, 0x8000,
                         TestFiles::icon()) +
            kCode);
    const QByteArray fits(9000 - 195, 'c');
    row("9000 bytes, not padded", plain, 0,
        made(buildAddinHeader("Addin", "Clock", "", 8805, 0, kWhite), fits), fits);
    row("from a folder, defaults", folder, 0, made(clock, kCode), kCode,
        R"({"name": "Clock", "word1": "$7"})");

    row("over 9000 bytes", plain, 5, "9001 bytes, 1 more than the 9000", fits + 'c');
    // From options, whatever check calls an error is refused with its sentence.
    row("empty code", plain, 5, "There is no code", {});
    row("code only padding", plain, 5, "padding (00 bytes, then FF bytes)", QByteArray(9, '\0'));
    row("empty name", "build --code @/code.bin --name= -o @/out.rex", 5, "The name is empty.");
    row("control character", "build --code @/code.bin --name A\tB -o @/out.rex", 5, "$09");
    // From a folder, whatever unpack writes.
    row("from a folder: an empty name, code only padding", folder, 0,
        made(buildAddinHeader("Addin", "", "", 0, 0, kWhite), {}), {}, R"({"name": ""})");
    // addin.asm is what unpack wrote while it has the digest header.json records, whatever the
    // times; without a digest, while it is not newer than the other files.
    const QByteArray digest = HeaderJson::sourceDigest("changed");
    row("from a folder: addin.asm changed after", folder, 5, "with z80asm -o NEW.rex", kCode,
        R"({"name": "A"})", "dir/addin.asm=newer");
    row("from a folder: addin.asm newer, as unpack wrote it", folder, 0, made(clock, kCode), kCode,
        R"({"name": "Clock", "word1": "$7", "addin_asm_sha256": ")" + digest + "\"}",
        "dir/addin.asm=newer");
    row("from a folder: addin.asm older, but changed", folder, 5,
        "addin.asm was changed after unpack wrote it", kCode,
        R"({"name": "A", "addin_asm_sha256": ")" + HeaderJson::sourceDigest("unpacked") + "\"}",
        "dir/addin.asm=older");
    row("from a folder: addin.asm a folder", folder, 3, "addin.asm: not a regular file", kCode,
        R"({"name": "A"})", "dir/addin.asm=folder");
    row("--from: icon.png a link to /dev/zero", folder, 3, "icon.png: The picture is not a regular",
        kCode, R"({"name": "A"})", "dir/addin.asm=older, dir/icon.png=zero");
    row("header.json: a digest too short", folder, 5, "64 hexadecimal digits", kCode,
        R"({"name": "A", "addin_asm_sha256": ")" + digest.left(63) + "\"}");
    row("code is a folder", "build --code @/dir --name Clock -o @/out.rex", 3,
        "not a regular file");
    row("CR in the name", "build --code @/code.bin --name A\rB -o @/out.rex", 5, "U+000D");
    row("no Windows-1252 code", plain + "--description ⌚", 5, "U+231A");
    row("class type", plain + "--class Game", 5, "\"GAME\"");
    row("-o is the code", "build --code @/code.bin --name Clock -o @/code.bin", 6,
        "one of the inputs");
    row("-o is the icon", "build --code @/code.bin --name Clock --icon @/icon.png -o @/icon.png", 6,
        "one of the inputs");
    row("-o missing", "build --code @/code.bin --name A", 2, "-o OUT");
    row("word out of range", plain + "--word2 65536", 2, "--word2");
    row("--from with an option", folder + "--name A", 2, "--name");
    row("header.json: NUL in the description", folder, 5, "U+0000", kCode,
        R"({"name": "A", "description": "a\u0000"})");
    row("header.json: unknown key", folder, 5, "unknown key \"nmae\"", kCode,
        R"({"name": "A", "nmae": "B"})");
    row("header.json: a key twice", folder, 5, "the key \"name\" is given more than once", kCode,
        R"({"name": "A", "n\u0061me": "B"})");
    // The message shows a backslash as \\, as every message does.
    row("header.json: half a surrogate pair", folder, 5, R"(the name cannot hold \\uD800:)", kCode,
        R"({"name": "A\uD800"})");
    row("header.json: no name", folder, 5, "\"name\"", kCode, "{}");
    row("header.json: not JSON", folder, 5, "not JSON", kCode, "name=A");
    row("--from: icon.png a link to nothing", folder, 3, "a symbolic link to a file that does not",
        kCode, R"({"name": "A"})", "dir/icon.png=dangling");
    row("--from: icon.png a link loop", folder, 3, "Too many levels of symbolic links", kCode,
        R"({"name": "A"})", "dir/icon.png=loop");
    row("header.json: too short a file length", folder, 5, "shorter than the header and the code",
        kCode, R"({"name": "A", "file_length": 190})");
    row("--from: addin.marks with a bad line", folder, 3,
        "addin.marks: line 2: \"hl\" is a word of the assembler language", kCode,
        R"({"name": "A"})", "dir/addin.marks=badmarks");
    row("--from: OUT.marks would be the folder's addin.marks", "build --from @/dir -o @/dir/addin",
        6, "addin.marks: cannot write the marks: it is one of", kCode, R"({"name": "A"})",
        "dir/addin.marks=marks");
    row("--from: OUT.marks a folder", folder, 6, "out.rex.marks: cannot write the marks: it is not",
        kCode, R"({"name": "A"})", "dir/addin.marks=marks, out.rex.marks=folder");

    const QString unpack = "unpack @/a.rex -o @/out ";
    row("unpack: a file there", unpack, 6, "already exists", kCode, {}, "out/code.bin=old");
    row("unpack: a file there, --force", unpack + "--force", 0, kAddin.mid(205, 4000), kCode, {},
        "out/code.bin=old");
    row("unpack: a FIFO there", unpack + "--force", 6, "not a regular", kCode, {},
        "out/icon.png=fifo");
    row("unpack: the add-in there", unpack + "--force", 6, "add-in itself", kCode, {},
        "out/code.bin=link");
    row("unpack: a file for the folder", unpack, 6, "not a folder", kCode, {}, "out=old");
    row("unpack: no parent folder", "unpack @/a.rex -o @/none/out", 6,
        "cannot make the folder: No such file or directory");
    row("unpack: not an add-in", "unpack @/code.bin -o @/out", 4, "Not a REX AddIn file");
    row("unpack: marks with a bad line", unpack + "--marks @/a.marks", 3,
        "a.marks: line 2: \"hl\" is a word", kCode, {}, "a.marks=badmarks");
    row("unpack: no such marks file", unpack + "--marks @/a.marks", 3, "a.marks: no such file");
    row("unpack: code.bin cut short, the rest taken back", unpack, 6, "cannot write", kCode, {},
        "=limit");
}

void CliBuild::commands() {
    QFETCH(QString, arguments);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, json);
    QFETCH(QString, setup);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, expected);

    TestFiles files;
    QVERIFY(QDir().mkdir(files.path("dir")));
    files.write("code.bin", code);
    files.write("dir/code.bin", code);
    files.write("dir/header.json", json);
    files.write("a.rex", kAddin);
    QVERIFY(TestFiles::drawnIcon(TestFiles::icon()).save(files.path("icon.png")));
    QString kind;
    for (const QString& entry : setup.split(", ")) {
        const QString name = entry.section('=', 0, 0);
        kind = entry.section('=', 1);
        QVERIFY(!name.startsWith("out/") || QDir().exists(files.path("out")) ||
                QDir().mkdir(files.path("out")));
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(files.path(name)).constData(), 0600), 0);
        } else if (kind == "link" || kind == "dangling" || kind == "loop" || kind == "zero") {
            const QString target = kind == "link"   ? files.path("a.rex")
                                   : kind == "loop" ? files.path(name)
                                   : kind == "zero" ? "/dev/zero"
                                                    : files.path("missing");
            QVERIFY(QFile::link(target, files.path(name)));
        } else if (kind == "old") {
            files.write(name, "old");
        } else if (kind == "marks" || kind == "badmarks") {
            files.write(name, kind == "marks" ? "label $8000 - go\n"
                                              : "text $8000 $8004 -\n"
                                                "label $8000 - hl\n");
        } else if (kind == "folder") {
            QVERIFY(QDir().mkdir(files.path(name)));
        } else if (kind == "newer" || kind == "older") {
            QFile changed(files.write(name, "changed"));
            QVERIFY(changed.open(QIODevice::ReadWrite) &&
                    changed.setFileTime(
                        QDateTime::currentDateTime().addSecs(kind == "newer" ? 10 : -10),
                        QFileDevice::FileModificationTime));
        }
    }
    const QMap<QString, QByteArray> before = contents(files.path(QString()));
    const QStringList words =
        arguments.replace("@", files.path(QString())).split(' ', Qt::SkipEmptyParts);
    // Room for header.json and icon.png, not for 4000 code bytes.
    const CliRun run = [&] {
        const FileSizeLimit limit(kind == "limit" ? 2000 : RLIM_INFINITY);
        return CliRun(words);
    }();
    QCOMPARE(run.code, exitCode);
    QVERIFY(run.out.isEmpty());
    if (exitCode != 0) {
        QVERIFY2(run.oneErrorLine() && run.err.contains(expected), run.err.constData());
        QCOMPARE(contents(files.path(QString())), before);
        return;
    }
    QVERIFY2(run.err.isEmpty(), run.err.constData());
    const QString result = files.path(words.first() == "build" ? "out.rex" : "out/code.bin");
    QCOMPARE(TestFiles::read(result), expected);
    // The same inputs give the same bytes, also from the real program.
    QVERIFY(QFile::remove(result));
    compareWithProgram(words);
    QCOMPARE(TestFiles::read(result), expected);
}

void CliBuild::roundTrip_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("marks"); // given to unpack --marks; empty: none
    for (const char* name : {"clock.rex", "clock-unpadded.rex", "game.rex", "empty-name.rex"}) {
        QTest::newRow(name) << TestFiles::read(qEnvironmentVariable("MOBRIN_SAMPLES") + '/' + name)
                            << QByteArray();
    }
    QTest::newRow("clock.rex, with marks")
        << TestFiles::read(qEnvironmentVariable("MOBRIN_SAMPLES") + "/clock.rex")
        << QByteArray("# by hand\nlabel $8000 - start\ncomment $8000 - here it begins\n"
                      "bytes $8004 $8008 -\nbookmark $8000 $8010 - the start\n");
    const QString real = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex";
    if (QFileInfo::exists(real)) {
        QTest::newRow("tafl.rex") << TestFiles::read(real) << QByteArray();
        // What marks --suggest writes, a label renamed.
        QTest::newRow("tafl.rex, with the suggested marks, one renamed")
            << TestFiles::read(real)
            << CliRun({"marks", real, "--suggest"}).out.replace(" L9113\n", " msg_restart\n");
    }
    QTest::newRow("code only padding")
        << made(buildAddinHeader("Addin", "Pad", "", 0, 0, kWhite), QByteArray(300, '\0'))
        << QByteArray();
    // Real code: a few lines of Z80 through z80asm, built by `build` and taken apart again.
    if (QStandardPaths::findExecutable("z80asm").isEmpty()) {
        QSKIP("z80asm is not installed (scripts/mobrin installs it)");
    }
    TestFiles files;
    files.write("hello.asm", "        org $8000\nloop:   ld a,(hl)\n        or a\n        ret z\n"
                             "        inc hl\n        jr loop\n        db \"Hi\", 0, $FF, $FF\n");
    QCOMPARE(QProcess::execute("z80asm", {"-o", files.path("hi.bin"), files.path("hello.asm")}), 0);
    const QString hi = files.path("hi.rex");
    QCOMPARE(CliRun({"build", "--code", files.path("hi.bin"), "--name", "Hi", "-o", hi}).code, 0);
    QTest::newRow("z80asm code") << TestFiles::read(hi) << QByteArray();
}

void CliBuild::roundTrip() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, marks);
    TestFiles files;
    const QString path = files.write("a.rex", bytes);
    const QString folder = files.path("parts");
    // The marks go into the folder and into its source, then beside the add-in built.
    const QStringList marked =
        marks.isEmpty() ? QStringList() : QStringList{"--marks", files.write("a.marks", marks)};
    const CliRun unpack(QStringList{"unpack", path, "-o", folder} + marked);
    QVERIFY2(unpack.code == 0 && unpack.err.isEmpty(), unpack.err.constData());
    QCOMPARE(CliRun({"icon", path, "--png", files.path("icon.png")}).code, 0);
    QCOMPARE(TestFiles::read(folder + "/icon.png"), TestFiles::read(files.path("icon.png")));
    QCOMPARE(TestFiles::read(folder + "/addin.asm"),
             CliRun(QStringList{"source", path} + marked).out);
    QCOMPARE(QFileInfo::exists(folder + "/addin.marks"), !marks.isEmpty());
    // As a copy may leave it: addin.asm newer than the rest, and still what unpack wrote.
    QFile source(folder + "/addin.asm");
    QVERIFY(source.open(QIODevice::ReadWrite) &&
            source.setFileTime(QDateTime::currentDateTime().addSecs(10),
                               QFileDevice::FileModificationTime));
    const CliRun build({"build", "--from", folder, "-o", files.path("b.rex")});
    QVERIFY2(build.code == 0, build.err.constData());
    QCOMPARE(TestFiles::read(files.path("b.rex")), bytes);
    QCOMPARE(TestFiles::read(files.path("b.rex.marks")), marks);
}

void CliBuild::randomRoundTrips() {
    // In memory, the steps unpack and build --from take: the disk adds nothing here but time
    // (every write is synced), and the rows above take the same steps through the files.
    QRandomGenerator random(20);
    for (int i = 0; i < 300; ++i) {
        const QByteArray bytes = randomAddin(random, i);
        const AddinParts parts = AddinParts::of(bytes, AddinHeader::parse(bytes));
        AddinParts built;
        built.code = parts.code;
        built.icon = IconPicture::fromData(IconPixels::png(parts.icon)).icon;
        const QByteArray digest = HeaderJson::sourceDigest(bytes);
        HeaderJson::Extras extras;
        QVERIFY(HeaderJson::read(HeaderJson::write(parts, digest), built, extras).isEmpty());
        QVERIFY2(extras.hasFileLength && extras.sourceDigest == digest && built.bytes() == bytes,
                 qPrintable(bytes.toHex()));
    }
}

// check: the exit status over several files, and the same findings as lines and as JSON (the
// findings themselves are AddinCheck's, tested with the parser).
void CliBuild::check_data() {
    QTest::addColumn<QByteArrayList>("files"); // "-" is a file that does not exist
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("exitCode");

    // Word 1 is $1234, and a code byte follows it.
    const QByteArray warned = TestFiles::addin("Clock", "Shows time", 0x1235);
    const QByteArray sound = TestFiles::addin("Clock", "Shows time", 0x1234);
    QTest::newRow("no findings") << QByteArrayList{sound} << "" << 0;
    QTest::newRow("a warning") << QByteArrayList{warned} << "" << 0;
    QTest::newRow("a warning, --strict") << QByteArrayList{warned} << "--strict" << 1;
    QTest::newRow("an error in the second file") << QByteArrayList{sound, "x"} << "" << 1;
    QTest::newRow("a missing file before an error") << QByteArrayList{"-", "x"} << "" << 3;
    // The C toolchain's builds: word 1 the code's length, then 00 bytes up to a full bank.
    for (const char* name : {"hello.rex", "arkanoid.rex"}) {
        QTest::newRow(name) << QByteArrayList{TestFiles::read(
                                   qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + '/' + name)}
                            << "--strict" << 0;
    }
}

void CliBuild::check() {
    QFETCH(QByteArrayList, files);
    QFETCH(QString, option);
    QFETCH(int, exitCode);

    if (files.contains(QByteArray())) {
        QSKIP("the real add-ins are not available here");
    }
    TestFiles folder;
    QStringList arguments = {"check"};
    for (int i = 0; i < files.size(); ++i) {
        const QString name = QStringLiteral("%1.rex").arg(i);
        arguments << (files[i] == "-" ? folder.path(name) : folder.write(name, files[i]));
    }
    arguments << option;
    arguments.removeAll(QString());
    const CliRun run(arguments);
    QCOMPARE(run.code, exitCode);
    QCOMPARE(run.err.isEmpty(), !files.contains("-"));
    compareWithProgram(arguments);

    // As JSON: an object a file, the counts adding up, each finding printed as its line.
    const QJsonArray objects = QJsonDocument::fromJson(CliRun(arguments << "--json").out).array();
    QCOMPARE(objects.size(), files.size());
    QCOMPARE(objects.first()["unreadable"].toString(), files.first() == "-" ? "no such file" : "");
    const QString last = arguments.at(files.size());
    const QJsonArray findings = objects.last()["findings"].toArray();
    QCOMPARE(objects.last()["errors"].toInt() + objects.last()["warnings"].toInt(),
             findings.size());
    QString lines = findings.isEmpty() ? last + ": no findings\n" : QString();
    for (const QJsonValue finding : findings) {
        lines += QStringLiteral("%1: %2 %3 at %4: %5\n")
                     .arg(last, finding["severity"].toString(), finding["id"].toString(),
                          NumberForm::hexWord(finding["offset"].toInt()),
                          finding["sentence"].toString());
    }
    QVERIFY2(run.out.endsWith(lines.toUtf8()) && !lines.isEmpty(), run.out.constData());
}

QTEST_GUILESS_MAIN(CliBuild)
#include "tst_cli_build.moc"

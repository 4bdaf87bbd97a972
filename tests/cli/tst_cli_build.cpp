// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "AddinParts.h"
#include "CliRun.h"
#include "FileSizeLimit.h"
#include "HeaderJson.h"
#include "IconPicture.h"
#include "IconPixels.h"
#include "TestFiles.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

#include <sys/stat.h>

namespace {

const QByteArray kCode("\x21\x07\x80\xCD\x34\x12\xC9", 7);
const QByteArray kWhite(AddinHeader::kIconBytes, '\0');

QByteArray padded(const QByteArray& bytes, int length) {
    return bytes + QByteArray(qMax<qsizetype>(0, length - bytes.size()), '\xFF');
}

QByteArray made(const QByteArray& header, const QByteArray& code, int length = 8192) {
    return padded(header + code, length);
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

// An add-in with random fields, words, icon, code and length, laid out byte by byte from the
// format (apart from buildAddinHeader), with an odd byte after a CR now and then.
QByteArray randomAddin(QRandomGenerator& random) {
    const auto text = [&random](int most, char terminator) {
        QByteArray bytes;
        for (int i = random.bounded(most + 1); i > 0; --i) {
            const char byte = char(random.bounded(256));
            bytes += byte == terminator ? 'x' : byte;
        }
        return bytes;
    };
    const auto afterReturn = [&random] {
        return random.bounded(8) ? '\n' : char(random.bounded(256));
    };
    QByteArray bytes =
        "ApplicationName:" + text(10, '\r') + (random.bounded(2) ? ":addin" : ":ADDIN");
    bytes += '\r' + QByteArray(1, afterReturn()) + text(20, '\r') + '\r';
    bytes += afterReturn() + text(40, '\0') + '\0';
    for (int i = 0; i < 4 + AddinHeader::kIconBytes; ++i) {
        bytes += char(random.bounded(256));
    }
    const int room = 9000 - int(bytes.size());
    bytes += 'c' + text(room - 3, '\xFF') + QByteArray(random.bounded(3), '\xFF');
    return padded(bytes, int(bytes.size()) + random.bounded(9001 - int(bytes.size())));
}

} // namespace

class CliBuild : public QObject {
    Q_OBJECT

private slots:
    void build_data();
    void build();
    void roundTrip_data();
    void roundTrip();
    void randomRoundTrips();
    void unpackRefusals_data();
    void unpackRefusals();
};

void CliBuild::build_data() {
    QTest::addColumn<QStringList>("options"); // @ is the test's folder
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("json"); // @/dir/header.json, beside @/dir/code.bin
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("expected"); // the output, or what the error says

    const QStringList plain = {"--code", "@/code.bin", "--name", "Clock", "-o", "@/out.rex"};
    const QByteArray clock = buildAddinHeader("Addin", "Clock", "", 7, 0, kWhite);
    QTest::newRow("defaults") << plain << kCode << QByteArray() << 0 << made(clock, kCode);
    QTest::newRow("every option") << plain +
                                         QStringList{
                                             "--description", QString::fromUtf8("Two\r\nlines €"),
                                             "--class",       "Game:addin",
                                             "--icon",        "@/icon.png",
                                             "--word1",       "$1FDF",
                                             "--word2",       "0x8000",
                                             "--no-pad"}
                                  << kCode << QByteArray() << 0
                                  << buildAddinHeader("Game:addin", "Clock", "Two\r\nlines \x80",
                                                      0x1FDF, 0x8000, TestFiles::icon()) +
                                         kCode;
    const QByteArray fits(9000 - 195, 'c');
    QTest::newRow("9000 bytes, not padded")
        << plain << fits << QByteArray() << 0
        << made(buildAddinHeader("Addin", "Clock", "", 8805, 0, kWhite), fits);
    QTest::newRow("from a folder, defaults")
        << QStringList{"--from", "@/dir", "-o", "@/out.rex"} << kCode
        << QByteArray(R"({"name": "Clock", "word1": "$7"})") << 0 << made(clock, kCode);

    const QList<std::tuple<const char*, QStringList, QByteArray, QByteArray, int, QByteArray>>
        refusals = {
            {"over 9000 bytes", plain, fits + 'c', {}, 5, "9001 bytes, 1 more than the 9000"},
            {"empty code", plain, {}, {}, 5, "the code is empty"},
            {"code is a folder",
             {"--code", "@/dir", "--name", "A", "-o", "@/o"},
             kCode,
             {},
             3,
             "not a regular file"},
            {"no code file",
             {"--code", "@/no", "--name", "A", "-o", "@/o"},
             kCode,
             {},
             3,
             "no such file"},
            {"CR in the name",
             {"--code", "@/code.bin", "--name", "A\rB", "-o", "@/o"},
             kCode,
             {},
             5,
             "U+000D"},
            {"CR in the class",
             plain + QStringList{"--class", "A\r:ADDIN"},
             kCode,
             {},
             5,
             "U+000D"},
            {"no Windows-1252 code",
             plain + QStringList{"--description", QString::fromUtf8("⌚")},
             kCode,
             {},
             5,
             "U+231A"},
            {"class type", plain + QStringList{"--class", "Game"}, kCode, {}, 5, "\"GAME\""},
            {"-o is the code",
             {"--code", "@/code.bin", "--name", "A", "-o", "@/code.bin"},
             kCode,
             {},
             6,
             "one of the inputs"},
            {"-o is the icon",
             plain + QStringList{"--icon", "@/icon.png", "-o", "@/icon.png"},
             kCode,
             {},
             6,
             "one of the inputs"},
            {"-o missing", {"--code", "@/code.bin", "--name", "A"}, kCode, {}, 2, "-o OUT"},
            {"word out of range", plain + QStringList{"--word2", "65536"}, kCode, {}, 2, "--word2"},
            {"--from with an option",
             {"--from", "@/dir", "--name", "A", "-o", "@/o"},
             kCode,
             {},
             2,
             "--name"},
            {"header.json: NUL in the description",
             {"--from", "@/dir", "-o", "@/o"},
             kCode,
             R"({"name": "A", "description": "a\u0000"})",
             5,
             "U+0000"},
            {"header.json: unknown key",
             {"--from", "@/dir", "-o", "@/o"},
             kCode,
             R"({"name": "A", "nmae": "B"})",
             5,
             "unknown key \"nmae\""},
            {"header.json: no name", {"--from", "@/dir", "-o", "@/o"}, kCode, "{}", 5, "\"name\""},
            {"header.json: not JSON",
             {"--from", "@/dir", "-o", "@/o"},
             kCode,
             "name=A",
             5,
             "not JSON"},
            {"header.json: too short a file length",
             {"--from", "@/dir", "-o", "@/o"},
             kCode,
             R"({"name": "A", "file_length": 190})",
             5,
             "shorter than the header and the code"},
        };
    for (const auto& [row, options, code, json, exitCode, says] : refusals) {
        QTest::newRow(row) << options << code << json << exitCode << says;
    }
}

void CliBuild::build() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, json);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, expected);

    TestFiles files;
    const QString folder = files.path("dir");
    QVERIFY(QDir().mkdir(folder));
    files.write("code.bin", code);
    files.write("dir/code.bin", code);
    files.write("dir/header.json", json);
    QVERIFY(TestFiles::drawnIcon(TestFiles::icon()).save(files.path("icon.png")));
    const QMap<QString, QByteArray> before = contents(files.path(QString()));
    options.prepend("build");
    const CliRun run(options.replaceInStrings("@", files.path(QString())));
    QCOMPARE(run.code, exitCode);
    QVERIFY(run.out.isEmpty());
    if (exitCode == 0) {
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        QCOMPARE(TestFiles::read(files.path("out.rex")), expected);
        // The same inputs give the same bytes, also from the real program.
        QFile::remove(files.path("out.rex"));
        compareWithProgram(options);
        QCOMPARE(TestFiles::read(files.path("out.rex")), expected);
        return;
    }
    QVERIFY2(run.oneErrorLine() && run.err.contains(expected), run.err.constData());
    QCOMPARE(contents(files.path(QString())), before);
}

void CliBuild::roundTrip_data() {
    QTest::addColumn<QByteArray>("bytes");
    for (const char* name : {"clock.rex", "clock-unpadded.rex", "game.rex", "empty-name.rex"}) {
        QTest::newRow(name) << TestFiles::read(qEnvironmentVariable("MOBRIN_SAMPLES") + '/' + name);
    }
    const QString real = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex";
    if (QFileInfo::exists(real)) {
        QTest::newRow("tafl.rex") << TestFiles::read(real);
    }
    const QByteArray icon = TestFiles::icon();
    QTest::newRow("description with CR LF")
        << made(buildAddinHeader("Addin", "A", "Two\r\nlines", 7, 0, icon), kCode);
    QTest::newRow("undefined Windows-1252 codes, NUL and LF in name and class")
        << made(buildAddinHeader("\x81\n\x8D:ADDIN", QByteArray("\x8F\0\x90", 3), "\x9D\x80\xFF", 7,
                                 0, icon),
                kCode);
    QTest::newRow("words with the high bit")
        << made(buildAddinHeader("Addin", "A", "B", 0x8001, 0xFFFF, icon), kCode);
    QByteArray odd = made(buildAddinHeader("Addin", "Name", "B", 7, 0, icon), kCode);
    odd[22] = '\0';
    odd[28] = '\r';
    QTest::newRow("unusual bytes after both CRs") << odd;
    const QByteArray header = buildAddinHeader("Addin", "A", "B", 7, 0, icon);
    QTest::newRow("not padded") << header + kCode;
    QTest::newRow("padded past 8192") << made(header, kCode, 8500);
    QTest::newRow("code ending in 0xFF") << made(header, kCode + "\xFF\xFF", 9000);
    QTest::newRow("code ending in 0xFF, not padded") << header + kCode + "\xFF";

    // Real code: a few lines of Z80 through z80asm, built by `build` and taken apart again.
    if (QStandardPaths::findExecutable("z80asm").isEmpty()) {
        QSKIP("z80asm is not installed (scripts/mobrin installs it)");
    }
    TestFiles files;
    files.write("hello.asm", "        org $8000\n"
                             "start:  ld hl,message\n"
                             "loop:   ld a,(hl)\n"
                             "        or a\n"
                             "        ret z\n"
                             "        inc hl\n"
                             "        jr loop\n"
                             "message: db \"Hello\", 0, $FF, $FF\n");
    QCOMPARE(QProcess::execute("z80asm", {"-o", files.path("hello.bin"), files.path("hello.asm")}),
             0);
    QCOMPARE(CliRun({"build", "--code", files.path("hello.bin"), "--name", "Hello", "-o",
                     files.path("hello.rex")})
                 .code,
             0);
    QTest::newRow("z80asm code") << TestFiles::read(files.path("hello.rex"));
}

void CliBuild::roundTrip() {
    QFETCH(QByteArray, bytes);
    TestFiles files;
    const QString path = files.write("a.rex", bytes);
    const QString folder = files.path("parts");
    const CliRun unpack({"unpack", path, "-o", folder});
    QVERIFY2(unpack.code == 0, unpack.err.constData());
    QCOMPARE(QDir(folder).entryList(QDir::Files),
             (QStringList{"code.bin", "header.json", "icon.png"}));
    QCOMPARE(CliRun({"icon", path, "--png", files.path("icon.png")}).code, 0);
    QCOMPARE(TestFiles::read(folder + "/icon.png"), TestFiles::read(files.path("icon.png")));
    const CliRun build({"build", "--from", folder, "-o", files.path("b.rex")});
    QVERIFY2(build.code == 0, build.err.constData());
    QCOMPARE(TestFiles::read(files.path("b.rex")), bytes);
}

void CliBuild::randomRoundTrips() {
    // In memory, the steps unpack and build --from take: the disk adds nothing here but time
    // (every write is synced), and the rows above take the same steps through the files.
    QRandomGenerator random(20);
    for (int i = 0; i < 300; ++i) {
        const QByteArray bytes = randomAddin(random);
        const AddinParts parts = AddinParts::of(bytes, AddinHeader::parse(bytes));
        AddinParts built;
        built.code = parts.code;
        built.icon = IconPicture::fromData(IconPixels::png(parts.icon)).icon;
        bool hasFileLength = false;
        QVERIFY(HeaderJson::read(HeaderJson::write(parts), built, hasFileLength).isEmpty());
        QVERIFY2(hasFileLength && built.bytes() == bytes, qPrintable(bytes.toHex()));
    }
}

void CliBuild::unpackRefusals_data() {
    QTest::addColumn<QString>("existing"); // what is in the folder's place or in it beforehand
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("a file there") << "dir/code.bin" << QStringList{} << 6;
    QTest::newRow("a file there, --force") << "dir/code.bin" << QStringList{"--force"} << 0;
    QTest::newRow("a FIFO there, --force") << "dir/icon.png=fifo" << QStringList{"--force"} << 6;
    QTest::newRow("the add-in there, --force")
        << "dir/code.bin=link" << QStringList{"--force"} << 6;
    QTest::newRow("a file for the folder") << "dir" << QStringList{} << 6;
    QTest::newRow("no parent folder") << "" << QStringList{"-o", "@/no/dir"} << 6;
    QTest::newRow("not an add-in") << "a.rex=DATA" << QStringList{} << 4;
    QTest::newRow("code.bin cut short: the rest taken back") << "=limit" << QStringList{} << 6;
}

void CliBuild::unpackRefusals() {
    QFETCH(QString, existing);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);

    TestFiles files;
    const QByteArray addin = TestFiles::addin("Clock", "Shows time", 4000);
    const QString path = files.write("a.rex", addin);
    const QString name = existing.section('=', 0, 0);
    const QString kind = existing.section('=', 1);
    if (name.startsWith("dir/")) {
        QVERIFY(QDir().mkdir(files.path("dir")));
    }
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(files.path(name)).constData(), 0600), 0);
    } else if (kind == "link") {
        QVERIFY(QFile::link(path, files.path(name)));
    } else if (kind == "DATA") {
        files.write(name, "ApplicationName:DATA\r\n");
    } else if (!name.isEmpty()) {
        files.write(name, "old");
    }
    const QMap<QString, QByteArray> before = contents(files.path(QString()));
    options.replaceInStrings("@", files.path(QString()));
    // Room for header.json and icon.png, not for the 4000 code bytes.
    const FileSizeLimit limit(kind == "limit" ? 2000 : RLIM_INFINITY);
    const CliRun run(QStringList{"unpack", path, "-o", files.path("dir")} + options);
    QCOMPARE(run.code, exitCode);
    if (exitCode == 0) {
        QCOMPARE(TestFiles::read(files.path("dir/code.bin")), addin.mid(205, 4000));
        return;
    }
    QVERIFY2(run.oneErrorLine(), run.err.constData());
    QCOMPARE(contents(files.path(QString())), before);
}

QTEST_GUILESS_MAIN(CliBuild)
#include "tst_cli_build.moc"

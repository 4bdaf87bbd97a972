// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "CliRun.h"
#include "TestFiles.h"
#include "WindowView.h"

#include <QBuffer>
#include <QImageWriter>
#include <QProcess>
#include <QtTest>

#include <sys/resource.h>

namespace {

constexpr int kIconStart = 46; // image index of the first icon byte in TestFiles::addin()

QByteArray png(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(picture);
    return bytes;
}

// The icon drawn black on white, each icon pixel made `scale` x `scale`, as a PNG file.
QByteArray picture(const QByteArray& icon, int scale = 1) {
    return png(TestFiles::drawnIcon(icon, scale));
}

QByteArray withIcon(QByteArray addin, const QByteArray& icon) {
    return addin.replace(kIconStart - 1, icon.size(), icon);
}

// Every picture is read within this much address space, the whole program included.
constexpr rlim_t kReadingBound = rlim_t(256) * 1024 * 1024;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true; // its shadow memory alone reserves terabytes
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

// `rows` rows of a grey or palette PNG, `width` bytes each, every byte `value`.
QByteArray pngRows(int width, int rows, char value) {
    return (QByteArray(1, '\0') + QByteArray(width, value)).repeated(rows);
}

// `count` compressed text chunks of `type` ("zTXt", "iTXt"), each 7.9 MB of text.
QByteArray textChunks(const QByteArray& type, int count) {
    const QByteArray text = qCompress(QByteArray(7900000, 'A'), 9).mid(4);
    const QByteArray head = type == "zTXt" ? QByteArray("\0\0", 2) : QByteArray("\0\1\0\0\0", 5);
    QByteArray chunks;
    for (int i = 0; i < count; ++i) {
        chunks += TestFiles::pngChunk(type, "Comment" + QByteArray::number(i) + head + text);
    }
    return chunks;
}

} // namespace

class CliPicture : public QObject {
    Q_OBJECT

private slots:
    void forms_data();
    void forms();
    void roundTrip_data();
    void roundTrip();
    void realProgram_data();
    void realProgram();
    void hostilePictures_data();
    void hostilePictures();
};

void CliPicture::forms_data() {
    // In the arguments "@rex" is the add-in, "@pic" the picture, "@out" the output file.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("addin");   // a null array: no add-in file at all
    QTest::addColumn<QByteArray>("picture"); // a null array: no picture file at all
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");      // what is printed
    QTest::addColumn<QByteArray>("addinNow"); // the add-in file afterwards
    QTest::addColumn<QByteArray>("outNow");   // the output file afterwards; null: none made
    QTest::addColumn<QString>("says");        // in the one error line

    const QByteArray clock = TestFiles::addin();
    const QByteArray icon = TestFiles::randomIcon(14);
    const QByteArray good = picture(icon);
    const QByteArray text = WindowView::iconText(icon).toUtf8();
    QImage wideImage(41, 32, QImage::Format_RGB32);
    wideImage.fill(Qt::white);
    const QByteArray wide = png(wideImage);
    QImage mixedImage = QImage::fromData(picture(QByteArray(160, '\0'), 2));
    mixedImage.setPixel(13, 7, qRgb(0, 0, 0));
    const QByteArray mixed = png(mixedImage);
    const QByteArray none;
    const QByteArray empty("");

    const QStringList from{"icon", "--from", "@pic"};
    QTest::newRow("icon --from") << from << none << good << 0 << text << none << none << "";
    QTest::newRow("icon --from, scale 3")
        << from << none << picture(icon, 3) << 0 << text << none << none << "";
    QTest::newRow("icon --from, missing")
        << from << none << none << 3 << empty << none << none << "no such picture file";
    QTest::newRow("icon --from, an add-in")
        << from << none << clock << 3 << empty << none << none << "cannot be read as a picture";
    QTest::newRow("icon --from, 41 x 32")
        << from << none << wide << 5 << empty << none << none << "41 x 32 pixels";
    QTest::newRow("icon --from, a mixed block")
        << from << none << mixed << 5 << empty << none << none << "2 x 2 block at (12, 6)";

    const QStringList patch{"patch", "@rex", "--icon", "@pic"};
    const QByteArray patched = withIcon(clock, icon);
    QTest::newRow("patch --icon") << patch << clock << good << 0 << empty << patched << none << "";
    QTest::newRow("patch --icon --name --description")
        << patch + QStringList{"--name", "Time", "--description", "Tells time"} << clock << good
        << 0 << empty << withIcon(TestFiles::addin("Time ", "Tells time"), icon) << none << "";
    QTest::newRow("patch --icon -o") << patch + QStringList{"-o", "@out"} << clock << good << 0
                                     << empty << clock << patched << "";

    // Every refusal leaves every file as it was.
    QTest::newRow("patch --icon, picture missing")
        << patch << clock << none << 3 << empty << clock << none << "no such picture file";
    QTest::newRow("patch --icon, not a picture")
        << patch << clock << clock << 3 << empty << clock << none << "cannot be read";
    QTest::newRow("patch --icon, 41 x 32")
        << patch << clock << wide << 5 << empty << clock << none << "41 x 32 pixels";
    QTest::newRow("patch --icon -o, a mixed block")
        << patch + QStringList{"-o", "@out"} << clock << mixed << 5 << empty << clock << none
        << "partly black and partly white";
    QTest::newRow("patch --icon, name too long: no icon either")
        << patch + QStringList{"--name", "Clocks"} << clock << good << 5 << empty << clock << none
        << "new name has 6 characters";
    QTest::newRow("patch --icon, class DATA")
        << patch << QByteArray("ApplicationName:DATA\r\n") + QByteArray(300, 'x') << good << 4
        << empty << QByteArray("ApplicationName:DATA\r\n") + QByteArray(300, 'x') << none
        << "not an add-in";
    QTest::newRow("patch --icon, icon cut short")
        << patch << clock.left(204) << good << 4 << empty << clock.left(204) << none
        << "the file ends inside the icon";
    QTest::newRow("patch --icon, add-in missing")
        << patch << none << good << 3 << empty << none << none << "no such file";
    QTest::newRow("patch --icon -o to a folder")
        << patch + QStringList{"-o", "@dir"} << clock << good << 6 << empty << clock << none
        << "cannot write";
    // The name's bytes as well as the icon's: a refused picture keeps a good name out too.
    QTest::newRow("patch --name --icon, 41 x 32")
        << QStringList{"patch", "@rex", "--name", "Time", "--icon", "@pic"} << clock << wide << 5
        << empty << clock << none << "41 x 32";
}

void CliPicture::forms() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, addin);
    QFETCH(QByteArray, picture);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, addinNow);
    QFETCH(QByteArray, outNow);
    QFETCH(QString, says);

    TestFiles files;
    QDir(files.path(QString())).mkdir("dir");
    const QString rex = files.path("a.rex");
    const QString pic = files.path("icon.png");
    const QString output = files.path("out.rex");
    if (!addin.isNull()) {
        files.write("a.rex", addin);
    }
    if (!picture.isNull()) {
        files.write("icon.png", picture);
    }
    arguments.replaceInStrings("@rex", rex)
        .replaceInStrings("@pic", pic)
        .replaceInStrings("@out", output)
        .replaceInStrings("@dir", files.path("dir"));

    const CliRun run(arguments);
    QCOMPARE(run.code, code);
    QCOMPARE(run.out, out);
    if (code == 0) {
        QVERIFY(run.err.isEmpty());
    } else {
        QVERIFY2(run.oneErrorLine(), run.err.constData());
        QVERIFY2(QString::fromUtf8(run.err).contains(says), run.err.constData());
    }

    QCOMPARE(QFileInfo::exists(rex), !addinNow.isNull());
    QCOMPARE(TestFiles::read(rex), addinNow);
    QCOMPARE(TestFiles::read(pic), picture);
    QCOMPARE(QFileInfo::exists(output), !outNow.isNull());
    QCOMPARE(TestFiles::read(output), outNow);
    // No temporary file is left behind, and nothing is written into the folder.
    QCOMPARE(QDir(files.path(QString())).entryList(QDir::Files | QDir::Hidden).size(),
             int(!addin.isNull()) + int(!picture.isNull()) + int(!outNow.isNull()));
    QVERIFY(QDir(files.path("dir")).isEmpty());
}

void CliPicture::roundTrip_data() {
    QTest::addColumn<int>("scale");
    for (int scale = 1; scale <= 4; ++scale) {
        QTest::addRow("--scale %d", scale) << scale;
    }
}

// The way out and the way back: `icon --png --scale N` writes a picture that `icon --from`
// and `patch --icon` read back to the same bytes.
void CliPicture::roundTrip() {
    QFETCH(int, scale);
    TestFiles files;
    const QByteArray icon = TestFiles::randomIcon(quint32(100 + scale));
    const QString source = files.write("a.rex", withIcon(TestFiles::addin(), icon));
    const QString target = files.write("b.rex", withIcon(TestFiles::addin(), QByteArray(160, 0)));
    const QString pic = files.path("icon.png");

    QCOMPARE(CliRun({"icon", source, "--png", pic, "--scale", QString::number(scale)}).code, 0);
    const CliRun text({"icon", source});
    const CliRun back({"icon", "--from", pic});
    QCOMPARE(back.code, 0);
    QCOMPARE(back.out, text.out);
    QCOMPARE(CliRun({"patch", target, "--icon", pic}).code, 0);
    QCOMPARE(TestFiles::read(target), TestFiles::read(source));
}

void CliPicture::realProgram_data() {
    QTest::addColumn<QByteArray>("picture");
    QTest::newRow("PNG cut short") << picture(TestFiles::icon()).left(100);
    QTest::newRow("XPM without its colours") << QByteArray("/* XPM */\n"
                                                           "static char *x[] = {\"40 32 2 1\",");
    QTest::newRow("good PNG") << picture(TestFiles::icon());
}

// Qt's image readers and libpng write to stderr themselves; the real program still says
// exactly what the in-process run says, in one line.
void CliPicture::realProgram() {
    QFETCH(QByteArray, picture);
    TestFiles files;
    const QString pic = files.write("icon.png", picture);
    compareWithProgram({"icon", "--from", pic});
}

void CliPicture::hostilePictures_data() {
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<int>("plainSamples"); // "65535 " written after the picture so many times
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says"); // in the one error line; empty: the icon is printed

    const QByteArray white = pngRows(40, 32, char(0xFF));
    QTest::newRow("PNG, 80 zTXt chunks of 7.9 MB of text")
        << TestFiles::png(40, 32, 0, 8, false, textChunks("zTXt", 80), white) << 0 << 0 << "";
    QTest::newRow("PNG, 30 iTXt chunks of 7.9 MB of text")
        << TestFiles::png(40, 32, 0, 8, false, textChunks("iTXt", 30), white) << 0 << 0 << "";
    QTest::newRow("PNG 41 x 32, 10 zTXt chunks of 7.9 MB of text")
        << TestFiles::png(41, 32, 0, 8, false, textChunks("zTXt", 10), pngRows(41, 32, 0)) << 0 << 5
        << "The picture is 41 x 32 pixels;";
    QByteArray pastPalette = pngRows(40, 32, 0);
    pastPalette[1 + 9] = 5;
    QTest::newRow("PNG, a palette index past the palette")
        << TestFiles::png(40, 32, 3, 8, false,
                          TestFiles::pngChunk("PLTE", QByteArray("\xFF\xFF\xFF\0\0\0", 6)),
                          pastPalette)
        << 0 << 3
        << "The PNG picture is damaged: its pixel at (9, 0) uses colour 5 of a palette of 2.";
    QByteArray changed = TestFiles::png(40, 32, 0, 8, false, {}, white);
    changed[changed.indexOf("IDAT") + 6] ^= 1;
    QTest::newRow("PNG, a byte of its pixel data changed")
        << changed << 0 << 3 << "The PNG picture is damaged: IDAT: ";

    QTest::newRow("GIF, pixel data stopping after 100 of 1280 pixels")
        << TestFiles::gif(TestFiles::icon(), 100) << 0 << 3
        << "The GIF picture is damaged: its pixel data stops after 100 of its 1280 pixels.";
    QByteArray wideFrame = TestFiles::gif(TestFiles::icon());
    wideFrame[30] = 41; // the frame's width; the screen stays 40 wide
    QTest::newRow("GIF, a frame larger than its screen")
        << wideFrame << 0 << 3 << "its frame of 41 x 32 pixels at (0, 0) reaches past its screen";

    const QByteArrayList dots(32, QByteArray(40, '.'));
    QTest::newRow("XPM, rows of 1 pixel") << TestFiles::xpm({". c white"}, QByteArrayList(32, "."))
                                          << 0 << 3 << "its row 1 of 32 holds 1 of its 40 pixels";
    QTest::newRow("XPM, a pixel missing from its colour table")
        << TestFiles::xpm({". c white"}, QByteArrayList{"y" + QByteArray(39, '.')} + dots.mid(1))
        << 0 << 3 << "its pixel \"y\" at (0, 0) is not in its colour table";
    QTest::newRow("XPM, colour bogusColourName")
        << TestFiles::xpm({". c bogusColourName"}, dots) << 0 << 3
        << "The XPM picture is damaged: its colour \"bogusColourName\" is not a colour";
    QTest::newRow("XPM, colour #GGGGGG") << TestFiles::xpm({". c #GGGGGG"}, dots) << 0 << 3
                                         << "its colour \"#GGGGGG\" is not a colour";
    QTest::newRow("plain PGM, a sample above its maximum")
        << "P2 40 32 1000\n1001 " + QByteArray("0 ").repeated(1279) << 0 << 3
        << "The PGM picture is damaged: its sample 1001 at (0, 0) is above its maximum 1000.";
    QTest::newRow("plain PBM without spaces between its bits")
        << "P1\n40 32\n" + (QByteArray(40, '0') + '\n').repeated(32) << 0 << 0 << "";
    QTest::newRow("plain PGM of 4000 x 3200 at 16 bits, 76.8 MB")
        << QByteArray("P2 4000 3200 65535\n") << 4000 * 3200 << 0 << "";

    QByteArray hugeGif = TestFiles::gif(TestFiles::icon());
    hugeGif.replace(6, 4, QByteArray("\x40\x9C\x00\x7D", 4)); // a 40000 x 32000 screen
    QByteArray hugeBmp;
    QBuffer buffer(&hugeBmp);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(TestFiles::drawnIcon(TestFiles::icon()));
    hugeBmp.replace(18, 8, QByteArray("\x40\x9C\0\0\x00\x7D\0\0", 8));
    const QString huge = QStringLiteral("The picture is 40000 x 32000 pixels;");
    for (const char* magic : {"P1", "P4", "P2", "P5", "P3", "P6"}) {
        QTest::addRow("%s of 40000 x 32000", magic) << QByteArray(magic) + " 40000 32000 255\n"
                                                    << 0 << 5 << huge;
    }
    QTest::newRow("XPM of 40000 x 32000")
        << QByteArray("/* XPM */\n\"40000 32000 2 1\",\n") << 0 << 5 << huge;
    QTest::newRow("GIF of 40000 x 32000") << hugeGif << 0 << 5 << huge;
    QTest::newRow("BMP of 40000 x 32000") << hugeBmp << 0 << 5 << huge;
    QTest::newRow("PNG of 100000 x 100000") << TestFiles::png(100000, 100000, 0, 8, false, {}, {})
                                            << 0 << 5 << "The picture is 100000 x 100000 pixels;";
}

// The real program reads each picture under a limit of its address space, so a picture that
// asks for more memory than its file holds is refused or read within it (under AddressSanitizer,
// whose shadow memory needs terabytes of address space, without the limit), and it says what
// is wrong in one line: the readers' own messages never reach stderr.
void CliPicture::hostilePictures() {
    QFETCH(QByteArray, picture);
    QFETCH(int, plainSamples);
    QFETCH(int, code);
    QFETCH(QString, says);

    TestFiles files;
    const QString pic = files.write("picture", picture);
    QFile file(pic);
    QVERIFY(file.open(QIODevice::Append));
    const QByteArray samples = QByteArray("65535 ").repeated(1000);
    for (int i = 0; i < plainSamples / 1000; ++i) {
        QVERIFY(file.write(samples) == samples.size());
    }
    file.close();

    QProcess cli;
    cli.setChildProcessModifier([] {
        const rlimit bound{kReadingBound, kReadingBound};
        if (!kAddressSanitizer) {
            ::setrlimit(RLIMIT_AS, &bound);
        }
    });
    cli.start(QStringLiteral(MOBRIN_BUILD_DIR "/cli/mobrin-cli"), {"icon", "--from", pic});
    QVERIFY(cli.waitForFinished(60000));
    const QByteArray err = cli.readAllStandardError();
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    QVERIFY2(cli.exitCode() == code, err.constData());
    if (code == 0) {
        QCOMPARE(cli.readAllStandardOutput().count(".db"), 32);
        QCOMPARE(err, QByteArray());
    } else {
        QVERIFY2(err.startsWith("mobrin-cli: ") && err.count('\n') == 1, err.constData());
        QVERIFY2(QString::fromUtf8(err).contains(says), err.constData());
    }
}

QTEST_GUILESS_MAIN(CliPicture)
#include "tst_cli_picture.moc"

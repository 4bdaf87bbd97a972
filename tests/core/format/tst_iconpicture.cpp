// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinHeader.h"
#include "IconPicture.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtTest>

#include <sys/stat.h>

using Outcome = IconPicture::Outcome;

namespace {

// A white 40 x 32 picture in `format` with the one pixel (9, 0) in `colour`: icon byte 1,
// bit 6.
QImage onePixel(QImage::Format format, QRgba64 colour) {
    QImage picture(AddinHeader::kIconWidth, AddinHeader::kIconHeight, format);
    picture.fill(Qt::white);
    picture.setPixelColor(9, 0, QColor::fromRgba64(colour));
    return picture;
}

QByteArray iconWithPixel(bool black) {
    QByteArray icon(AddinHeader::kIconBytes, '\0');
    icon[1] = black ? char(0x40) : '\0';
    return icon;
}

QByteArray encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    return writer.write(picture) ? bytes : QByteArray();
}

// A white 40 x 32 PGM or PPM ("P2", "P3", "P5", "P6") of maximum `maximum`, its pixel (9, 0)
// `sample` in every channel.
QByteArray pnm(const QByteArray& magic, int maximum, int sample) {
    const int channels = magic == "P3" || magic == "P6" ? 3 : 1;
    QByteArray bytes = magic + " 40 32 " + QByteArray::number(maximum) + '\n';
    for (int i = 0; i < AddinHeader::kIconWidth * AddinHeader::kIconHeight * channels; ++i) {
        const int value = i / channels == 9 ? sample : maximum;
        if (magic < "P4") {
            bytes += QByteArray::number(value) + ' ';
        } else if (maximum > 255) {
            bytes += char(value >> 8);
        }
        bytes += magic < "P4" ? QByteArray() : QByteArray(1, char(value & 0xFF));
    }
    return bytes;
}

// A white 40 x 32 XPM, its pixel (9, 0) of `colour`.
QByteArray xpm(const QByteArray& colour) {
    QByteArrayList rows(AddinHeader::kIconHeight, QByteArray(AddinHeader::kIconWidth, '.'));
    rows[0][9] = 'x';
    return TestFiles::xpm({". c #FFFFFF", "x c " + colour}, rows);
}

// The picture's colour indices as an interlaced PNG, which Qt does not write: Adam7's seven
// passes, each a start and a step in both directions.
QByteArray interlacedPng(const QImage& indexed) {
    constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    QByteArray rows;
    for (const auto& [left, top, across, down] : kPasses) {
        for (int y = top; y < indexed.height(); y += down) {
            rows += '\0'; // no filter
            for (int x = left; x < indexed.width(); x += across) {
                rows += char(indexed.pixelIndex(x, y));
            }
        }
    }
    QByteArray palette;
    for (const QRgb colour : indexed.colorTable()) {
        palette += char(qRed(colour));
        palette += char(qGreen(colour));
        palette += char(qBlue(colour));
    }
    return TestFiles::png(indexed.width(), indexed.height(), 3, 8, true,
                          TestFiles::pngChunk("PLTE", palette), rows);
}

} // namespace

class IconPictureTest : public QObject {
    Q_OBJECT

private slots:
    void convert_data();
    void convert();
    void fromFile_data();
    void fromFile();
    void cutShort_data();
    void cutShort();
    void exactHalf_data();
    void exactHalf();
};

void IconPictureTest::convert_data() {
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QByteArray>("icon");
    QTest::addColumn<QString>("says");

    // Black: alpha at least half, Rec. 709 luminance below half (127.5 of 255).
    constexpr QImage::Format k8 = QImage::Format_ARGB32;
    constexpr QImage::Format k16 = QImage::Format_RGBA64;
    const struct {
        const char* name;
        QRgba64 colour;
        QImage::Format format;
        bool black;
    } pixels[] = {
        {"black", QRgba64::fromRgba(0, 0, 0, 255), k8, true},
        {"white", QRgba64::fromRgba(255, 255, 255, 255), k8, false},
        {"grey 127: luminance 127", QRgba64::fromRgba(127, 127, 127, 255), k8, true},
        {"grey 128: luminance 128", QRgba64::fromRgba(128, 128, 128, 255), k8, false},
        {"red: luminance 54", QRgba64::fromRgba(255, 0, 0, 255), k8, true},
        {"blue: luminance 18", QRgba64::fromRgba(0, 0, 255, 255), k8, true},
        {"yellow: luminance 237", QRgba64::fromRgba(255, 255, 0, 255), k8, false},
        {"green 178: luminance 127.3", QRgba64::fromRgba(0, 178, 0, 255), k8, true},
        {"green 179: luminance 128.0", QRgba64::fromRgba(0, 179, 0, 255), k8, false},
        {"255,60,255: luminance 115.5, black (Rec. 601 says 140.5)",
         QRgba64::fromRgba(255, 60, 255, 255), k8, true},
        {"black at alpha 128", QRgba64::fromRgba(0, 0, 0, 128), k8, true},
        {"black at alpha 127", QRgba64::fromRgba(0, 0, 0, 127), k8, false},
        {"black, transparent", QRgba64::fromRgba(0, 0, 0, 0), k8, false},
        {"16-bit grey 32767: below half", qRgba64(32767, 32767, 32767, 65535), k16, true},
        {"16-bit grey 32768: not below half", qRgba64(32768, 32768, 32768, 65535), k16, false},
        {"16-bit black at alpha 32768", qRgba64(0, 0, 0, 32768), k16, true},
        {"16-bit black at alpha 32767", qRgba64(0, 0, 0, 32767), k16, false},
    };
    for (const auto& pixel : pixels) {
        QTest::newRow(pixel.name) << onePixel(pixel.format, pixel.colour) << Outcome::Converted
                                  << iconWithPixel(pixel.black) << QString();
    }
    // As PBM pictures read: one bit a pixel through a colour table.
    QImage mono(AddinHeader::kIconWidth, AddinHeader::kIconHeight, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(0);
    mono.setPixel(9, 0, 1);
    QTest::newRow("one-bit picture")
        << mono << Outcome::Converted << iconWithPixel(true) << QString();

    for (int scale = 1; scale <= 4; ++scale) {
        const QByteArray icon = TestFiles::randomIcon(quint32(scale));
        QTest::addRow("random icon, scale %d", scale)
            << TestFiles::drawnIcon(icon, scale) << Outcome::Converted << icon << QString();
    }
    // A block need only be one colour as the icon sees it: black and dark grey are both black.
    QImage shaded = TestFiles::drawnIcon(TestFiles::icon(), 2);
    shaded.setPixel(1, 1, qRgb(60, 60, 60));
    QTest::newRow("scale 2, black block with a dark grey pixel")
        << shaded << Outcome::Converted << TestFiles::icon() << QString();

    QImage largest(4000, 3200, QImage::Format_Mono);
    largest.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    largest.fill(0);
    QTest::newRow("scale 100, the largest")
        << largest << Outcome::Converted << QByteArray(160, '\0') << QString();

    const QString accepted = QStringLiteral("an icon picture is 40 x 32 pixels, or a whole "
                                            "multiple of that in both directions up to 100 "
                                            "times (80 x 64, 120 x 96, ... 4000 x 3200).");
    for (const QSize size : {QSize(41, 32), QSize(40, 31), QSize(80, 32), QSize(40, 64),
                             QSize(1, 1), QSize(79, 64), QSize(4040, 3232)}) {
        QImage picture(size, QImage::Format_Mono);
        picture.fill(Qt::white);
        QTest::addRow("%d x %d", size.width(), size.height())
            << picture << Outcome::Refused << QByteArray()
            << QStringLiteral("The picture is %1 x %2 pixels; ")
                       .arg(size.width())
                       .arg(size.height()) +
                   accepted;
    }
    QImage mixed = TestFiles::drawnIcon(QByteArray(160, '\0'), 2);
    mixed.setPixel(13, 7, qRgb(0, 0, 0));
    QTest::newRow("scale 2, one black pixel in a white block")
        << mixed << Outcome::Refused << QByteArray()
        << QStringLiteral("The picture is 80 x 64 pixels, 2 times the icon's size, but its "
                          "2 x 2 block at (12, 6) is partly black and partly white; at that "
                          "size every icon pixel must be a 2 x 2 block of one colour.");
    QImage lastPixel = TestFiles::drawnIcon(QByteArray(160, char(0xFF)), 3);
    lastPixel.setPixel(119, 95, qRgb(255, 255, 255));
    QTest::newRow("scale 3, the last pixel white in a black block")
        << lastPixel << Outcome::Refused << QByteArray() << "3 x 3 block at (117, 93)";
    QTest::newRow("no picture") << QImage() << Outcome::Unreadable << QByteArray()
                                << "There is no picture.";
}

void IconPictureTest::convert() {
    QFETCH(QImage, picture);
    QFETCH(Outcome, outcome);
    QFETCH(QByteArray, icon);
    QFETCH(QString, says);

    const IconPicture result = IconPicture::fromImage(picture);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.icon, icon);
    QVERIFY2(says.isEmpty() ? result.problem.isEmpty() : result.problem.contains(says),
             qPrintable(result.problem));
}

void IconPictureTest::fromFile_data() {
    QTest::addColumn<QByteArray>("bytes"); // a null array: no file at all
    QTest::addColumn<QString>("kind");     // "file", "folder", "fifo", or "sparse" to 300 MB
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("says");
    QTest::addColumn<bool>("isPicture");

    // The formats Qt reads without plugins, each written by Qt itself.
    const QImage icon = TestFiles::drawnIcon(TestFiles::icon());
    for (const char* format : {"png", "bmp", "pbm", "pgm", "ppm", "xpm"}) {
        QTest::addRow("%s", format)
            << encoded(icon, format) << "file" << Outcome::Converted << QString() << true;
    }
    QTest::newRow("gif") << TestFiles::gif(TestFiles::icon()) << "file" << Outcome::Converted
                         << QString() << true;
    QTest::newRow("16-bit grey PNG, scale 2")
        << encoded(TestFiles::drawnIcon(TestFiles::icon(), 2)
                       .convertToFormat(QImage::Format_Grayscale16),
                   "png")
        << "file" << Outcome::Converted << QString() << true;

    QImage wide(41, 32, QImage::Format_RGB32);
    wide.fill(Qt::white);
    QTest::newRow("41 x 32 PNG") << encoded(wide, "png") << "file" << Outcome::Refused
                                 << "41 x 32 pixels" << true;
    QTest::newRow("huge size, refused before it is decoded")
        << QByteArray("P4\n32000 25601\n") << "file" << Outcome::Refused << "32000 x 25601 pixels"
        << true;
    QTest::newRow("accepted size, no pixel data")
        << QByteArray("P4\n400 320\n") << "file" << Outcome::Unreadable
        << "The picture file is cut short: its PBM data ends early." << true;
    QTest::newRow("PNG cut short") << encoded(icon, "png").left(60) << "file" << Outcome::Unreadable
                                   << "its PNG data ends early" << true;
    QTest::newRow("JPEG: lossy, not read")
        << encoded(icon, "jpg") << "file" << Outcome::Unreadable
        << "The picture is a JPEG file; an icon is read from PNG, BMP, PBM, PGM, PPM, XPM or GIF "
           "files."
        << true;
    QTest::newRow("an add-in") << TestFiles::addin() << "file" << Outcome::Unreadable
                               << "cannot be read as a picture (Unsupported image format)" << false;
    QTest::newRow("empty file") << QByteArray("") << "file" << Outcome::Unreadable
                                << "cannot be read as a picture" << false;
    QTest::newRow("missing") << QByteArray() << "file" << Outcome::Unreadable
                             << "There is no such picture file." << false;
    QTest::newRow("folder") << QByteArray() << "folder" << Outcome::Unreadable
                            << "The picture is not a regular file." << false;
    QTest::newRow("PGM of 300 MB")
        << QByteArray("P5 40 32 255\n") << "sparse" << Outcome::Unreadable
        << "The picture file is 300000000 bytes; no PGM icon picture "
           "needs more than 268435456."
        << true;
    QTest::newRow("FIFO: no waiting for a writer") << QByteArray() << "fifo" << Outcome::Unreadable
                                                   << "The picture is not a regular file." << false;
}

void IconPictureTest::fromFile() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, kind);
    QFETCH(Outcome, outcome);
    QFETCH(QString, says);
    QFETCH(bool, isPicture);

    TestFiles files;
    const QString path = files.path(QStringLiteral("picture"));
    if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (!bytes.isNull()) {
        files.write(QStringLiteral("picture"), bytes);
    }
    if (kind == QLatin1String("sparse")) {
        QVERIFY(QFile::resize(path, 300000000));
    }

    const IconPicture result = IconPicture::fromFile(path);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.icon, outcome == Outcome::Converted ? TestFiles::icon() : QByteArray());
    QVERIFY2(says.isEmpty() ? result.problem.isEmpty() : result.problem.contains(says),
             qPrintable(result.problem));
    QCOMPARE(IconPicture::isPictureFile(path), isPicture);
}

void IconPictureTest::cutShort_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QImage icon = TestFiles::drawnIcon(TestFiles::icon());
    for (const char* format : {"png", "bmp", "pbm", "pgm", "ppm", "xpm"}) {
        QTest::addRow("%s", format) << encoded(icon, format);
    }
    QTest::newRow("bmp, scale 2") << encoded(TestFiles::drawnIcon(TestFiles::icon(), 2), "bmp");
    QTest::newRow("bmp, one bit a pixel")
        << encoded(icon.convertToFormat(QImage::Format_Mono), "bmp");
    QTest::newRow("gif") << TestFiles::gif(TestFiles::icon());
    QByteArray plainPgm = "P2 40 32 1000\n";
    QByteArray plainPbm = "P1 40 32\n";
    for (int pixel = 0; pixel < icon.width() * icon.height(); ++pixel) {
        const bool white = qGray(icon.pixel(pixel % icon.width(), pixel / icon.width())) > 127;
        plainPgm += white ? "1000 " : "0 ";
        plainPbm += white ? '0' : '1';
    }
    QTest::newRow("plain pgm") << plainPgm;
    QTest::newRow("plain pbm without spaces") << plainPbm + '\n';
    QTest::newRow("interlaced png") << interlacedPng(icon.convertToFormat(QImage::Format_Indexed8));
}

// Cut anywhere, a picture file is refused or, where only its trailer went, still the same
// icon: never half an icon with the rest made up.
void IconPictureTest::cutShort() {
    QFETCH(QByteArray, bytes);
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.warning=false"));
    QCOMPARE(IconPicture::fromData(bytes).icon, TestFiles::icon());
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        const IconPicture result = IconPicture::fromData(bytes.left(length));
        if (result.converted()) {
            QVERIFY2(result.icon == TestFiles::icon(), qPrintable(QString::number(length)));
        } else {
            QVERIFY2(result.outcome == Outcome::Unreadable, qPrintable(result.problem));
        }
    }
}

void IconPictureTest::exactHalf_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("black");

    // Below half is black; exactly half and above are white, at the file's own depth.
    QTest::newRow("PGM of maximum 2, grey 1: exactly half") << pnm("P2", 2, 1) << false;
    QTest::newRow("PGM of maximum 1000, grey 499") << pnm("P2", 1000, 499) << true;
    QTest::newRow("PGM of maximum 1000, grey 500") << pnm("P2", 1000, 500) << false;
    QTest::newRow("PGM of maximum 1000, grey 501") << pnm("P5", 1000, 501) << false;
    QTest::newRow("16-bit PGM, grey 32767") << pnm("P5", 65535, 32767) << true;
    QTest::newRow("16-bit PGM, grey 32768") << pnm("P5", 65535, 32768) << false;
    QTest::newRow("plain 16-bit PGM, grey 32768") << pnm("P2", 65535, 32768) << false;
    QTest::newRow("PPM of maximum 1000, grey 499") << pnm("P3", 1000, 499) << true;
    QTest::newRow("PPM of maximum 1000, grey 500") << pnm("P6", 1000, 500) << false;
    QTest::newRow("8-bit PPM, grey 127") << pnm("P6", 255, 127) << true;
    QTest::newRow("8-bit PPM, grey 128") << pnm("P6", 255, 128) << false;
    QTest::newRow("XPM #7F7F7F") << xpm("#7F7F7F") << true;
    QTest::newRow("XPM #808080") << xpm("#808080") << false;
    QTest::newRow("XPM #777, 4 bits") << xpm("#777") << true;
    QTest::newRow("XPM #888, 4 bits") << xpm("#888") << false;
    QTest::newRow("XPM #7FF7FF7FF, 12 bits") << xpm("#7FF7FF7FF") << true;
    QTest::newRow("XPM #800800800, 12 bits") << xpm("#800800800") << false;
    QTest::newRow("XPM #7FFF7FFF7FFF, 16 bits") << xpm("#7FFF7FFF7FFF") << true;
    QTest::newRow("XPM #800080008000, 16 bits") << xpm("#800080008000") << false;
    QTest::newRow("XPM gray50: X11's 127") << xpm("gray50") << true;
    QTest::newRow("XPM gray: X11's 190") << xpm("gray") << false;
    QTest::newRow("XPM None: transparent") << xpm("None") << false;
    for (const int grey : {32767, 32768}) {
        QImage picture = onePixel(QImage::Format_Grayscale16, qRgba64(grey, grey, grey, 65535));
        QTest::addRow("16-bit PNG, grey %d", grey) << encoded(picture, "png") << (grey < 32768);
    }
    for (const int grey : {127, 128}) {
        QImage picture(AddinHeader::kIconWidth, AddinHeader::kIconHeight, QImage::Format_Indexed8);
        picture.setColorTable({qRgb(255, 255, 255), qRgb(grey, grey, grey)});
        picture.fill(0);
        picture.setPixel(9, 0, 1);
        QTest::addRow("palette PNG, grey %d", grey) << encoded(picture, "png") << (grey < 128);
        QTest::addRow("palette PNG, interlaced, grey %d", grey)
            << interlacedPng(picture) << (grey < 128);
    }
}

void IconPictureTest::exactHalf() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, black);
    const IconPicture result = IconPicture::fromData(bytes);
    QVERIFY2(result.converted(), qPrintable(result.problem));
    QCOMPARE(result.icon, iconWithPixel(black));
}

QTEST_GUILESS_MAIN(IconPictureTest)
#include "tst_iconpicture.moc"

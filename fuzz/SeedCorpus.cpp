// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzzers' seed corpus into a folder: add-ins made with the header builder (whole,
// padded, unpadded, damaged at every terminator), an icon picture in every format read (plain
// and raw, interlaced and not) and, when given, the sample add-ins.
#include "AddinHeader.h"
#include "TestFiles.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

#include <cstdio>

namespace {

bool put(const QDir& folder, const QString& name, const QByteArray& bytes) {
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(picture);
    return bytes;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_seeds OUTPUT-FOLDER [SAMPLES-FOLDER]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }

    QList<std::pair<QString, QByteArray>> seeds = {
        {"clock-8192", TestFiles::addin()},
        {"clock-unpadded", TestFiles::addin("Clock", "Shows time", 100, 0)},
        {"clock-9000", TestFiles::addin("Clock", "Shows time", 4000, 9000)},
        {"empty-name", TestFiles::addin("", "No name here")},
        {"empty-fields", TestFiles::addin("", "", 0, 0)},
        {"crlf-description", TestFiles::addin("Notes", "Line one\r\nLine two", 300)},
        {"game-class", TestFiles::addin("Tetris", "Falling blocks", 500, 8192, "Game:addin")},
        {"lower-class", TestFiles::addin("Lower", "lower-case class", 50, 8192, "addin")},
        {"data-class", QByteArray("ApplicationName:DATA\r\n") + QByteArray(8170, char(0xFF))},
        {"no-signature", QByteArray("applicationname:ADDIN\r\n") + QByteArray(100, 'x')},
        {"all-ff", QByteArray(8192, char(0xFF))},
        {"high-words", buildAddinHeader("ADDIN", "W", "Words", 0x8000, 0xFFFF, TestFiles::icon()) +
                           QByteArray(64, char(0x3E))},
    };
    // A whole header cut short at each of its terminators and inside the words and the icon.
    const QByteArray whole = TestFiles::addin("Cut", "Cut short", 10, 0);
    for (const int length : {15, 16, 21, 22, 23, 27, 28, 38, 39, 40, 42, 44, 100, 203}) {
        seeds.append({QStringLiteral("prefix-%1").arg(length), whole.left(length)});
    }

    // The icon as a picture, for fuzz_picture.
    const QImage icon = TestFiles::drawnIcon(TestFiles::icon());
    for (const char* format : {"png", "bmp", "pbm", "pgm", "ppm", "xpm"}) {
        seeds.append({QStringLiteral("picture-%1").arg(format), encoded(icon, format)});
    }
    seeds.append(
        {"picture-16-bit.png", encoded(icon.convertToFormat(QImage::Format_RGBA64), "png")});
    seeds.append({"picture.gif", TestFiles::gif(TestFiles::icon())});
    // A plain PGM, and a palette PNG whose rows come in Adam7's seven passes.
    QByteArray plain = "P2 40 32 1000\n";
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            plain += qGray(icon.pixel(x, y)) > 127 ? "1000 " : "0 ";
        }
    }
    seeds.append({"picture-plain.pgm", plain});
    constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    QByteArray rows;
    for (const auto& [left, top, across, down] : kPasses) {
        for (int y = top; y < icon.height(); y += down) {
            rows += '\0';
            for (int x = left; x < icon.width(); x += across) {
                rows += char(qGray(icon.pixel(x, y)) > 127 ? 1 : 0);
            }
        }
    }
    seeds.append(
        {"picture-interlaced.png",
         TestFiles::png(icon.width(), icon.height(), 3, 8, true,
                        TestFiles::pngChunk("PLTE", QByteArray("\0\0\0\xFF\xFF\xFF", 6)), rows)});

    int written = 0;
    for (const auto& [name, bytes] : seeds) {
        written += put(out, name, bytes) ? 1 : 0;
    }
    if (argc >= 3) {
        const QDir samples(QString::fromLocal8Bit(argv[2]));
        const QStringList kinds = {QStringLiteral("*.rex"), QStringLiteral("*.DS2")};
        for (const QFileInfo& sample : samples.entryInfoList(kinds, QDir::Files)) {
            QFile file(sample.filePath());
            if (file.open(QIODevice::ReadOnly)) {
                written += put(out, QStringLiteral("sample-") + sample.fileName(), file.readAll());
            }
        }
    }
    std::printf("%d seeds in %s\n", written, argv[1]);
    return 0;
}

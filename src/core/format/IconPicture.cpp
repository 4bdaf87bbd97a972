// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconPicture.h"

#include "AddinHeader.h"
#include "PictureTruncation.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QRgba64>
#include <QSize>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWidth = AddinHeader::kIconWidth;
constexpr int kHeight = AddinHeader::kIconHeight;
constexpr int kRowBytes = AddinHeader::kIconRowBytes;

// Rec. 709 luma weights in ten-thousandths; they add up to 10000.
constexpr qint64 kRedWeight = 2126;
constexpr qint64 kGreenWeight = 7152;
constexpr qint64 kBlueWeight = 722;
constexpr qint64 kWeightSum = kRedWeight + kGreenWeight + kBlueWeight;
constexpr qint64 kFull = 65535; // channels are read at 16 bits, so 8- and 16-bit pictures agree

// Both halves are compared doubled, so that "at least half" and "below half" stay exact in
// whole numbers: 8-bit alpha 128 is black, 127 is not; grey 127 is black, grey 128 is not.
bool isBlack(QRgba64 pixel) {
    if (2 * qint64(pixel.alpha()) < kFull) {
        return false;
    }
    const qint64 luma =
        kRedWeight * pixel.red() + kGreenWeight * pixel.green() + kBlueWeight * pixel.blue();
    return 2 * luma < kWeightSum * kFull;
}

// The scale N of a picture that is N x (40 x 32), or 0 for any other size.
int scaleOf(QSize size) {
    if (size.width() <= 0 || size.width() % kWidth != 0 || size.height() % kHeight != 0) {
        return 0;
    }
    const int scale = size.width() / kWidth;
    return size.height() / kHeight == scale && scale <= IconPicture::kMaxScale ? scale : 0;
}

// The formats an icon is drawn in, by the reader's names; a lossy JPEG has no place here.
bool acceptedFormat(const QByteArray& format) {
    static const QByteArrayList formats = {"png", "bmp", "pbm", "pgm", "ppm", "xpm", "gif"};
    return formats.contains(format);
}

IconPicture failed(IconPicture::Outcome outcome, const QString& problem) {
    IconPicture result;
    result.outcome = outcome;
    result.problem = problem;
    return result;
}

IconPicture refusedSize(QSize size) {
    const int most = IconPicture::kMaxScale;
    return failed(IconPicture::Outcome::Refused,
                  QStringLiteral("The picture is %1 x %2 pixels; an icon picture is %3 x %4 "
                                 "pixels, or a whole multiple of that in both directions up to "
                                 "%5 times (%6 x %7, %8 x %9, ... %10 x %11).")
                      .arg(size.width())
                      .arg(size.height())
                      .arg(kWidth)
                      .arg(kHeight)
                      .arg(most)
                      .arg(2 * kWidth)
                      .arg(2 * kHeight)
                      .arg(3 * kWidth)
                      .arg(3 * kHeight)
                      .arg(most * kWidth)
                      .arg(most * kHeight));
}

IconPicture mixedBlock(QSize size, int scale, int x, int y) {
    return failed(IconPicture::Outcome::Refused,
                  QStringLiteral("The picture is %1 x %2 pixels, %3 times the icon's size, but "
                                 "its %3 x %3 block at (%4, %5) is partly black and partly "
                                 "white; at that size every icon pixel must be a %3 x %3 block "
                                 "of one colour.")
                      .arg(size.width())
                      .arg(size.height())
                      .arg(scale)
                      .arg(x)
                      .arg(y));
}

// Opens without blocking (a FIFO would wait for a writer) and accepts regular files only.
// Returns the reason when the file cannot serve.
QString openRegularFile(const QString& path, QFile& file) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? QStringLiteral("There is no such picture file.")
                               : QStringLiteral("The picture file cannot be opened (%1).")
                                     .arg(qt_error_string(errno));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return QStringLiteral("The picture is not a regular file.");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QStringLiteral("The picture file cannot be opened.");
    }
    return {};
}

} // namespace

IconPicture IconPicture::fromImage(const QImage& picture) {
    if (picture.isNull()) {
        return failed(Outcome::Unreadable, QStringLiteral("There is no picture."));
    }
    const int scale = scaleOf(picture.size());
    if (scale == 0) {
        return refusedSize(picture.size());
    }
    IconPicture result;
    result.icon = QByteArray(AddinHeader::kIconBytes, '\0');
    // One picture row at a time at 16 bits a channel: a large picture is not copied whole.
    std::array<bool, kWidth> blockBlack{};
    for (int y = 0; y < picture.height(); ++y) {
        const QImage line =
            picture.copy(0, y, picture.width(), 1).convertToFormat(QImage::Format_RGBA64);
        const auto* pixels = reinterpret_cast<const QRgba64*>(line.constScanLine(0));
        const int row = y / scale;
        for (int x = 0; x < picture.width(); ++x) {
            const int column = x / scale;
            const bool black = isBlack(pixels[x]);
            if (y % scale == 0 && x % scale == 0) {
                blockBlack[column] = black;
                if (black) {
                    char& byte = result.icon[row * kRowBytes + column / 8];
                    byte = char(quint8(byte) | (0x80 >> (column % 8)));
                }
            } else if (black != blockBlack[column]) {
                return mixedBlock(picture.size(), scale, column * scale, row * scale);
            }
        }
    }
    return result;
}

IconPicture IconPicture::fromFile(const QString& path) {
    QFile file;
    if (const QString why = openRegularFile(path, file); !why.isEmpty()) {
        return failed(Outcome::Unreadable, why);
    }
    if (file.size() > kMaxFileBytes) {
        return failed(Outcome::Unreadable,
                      QStringLiteral("The picture file is %1 bytes; no icon picture needs more "
                                     "than %2.")
                          .arg(file.size())
                          .arg(kMaxFileBytes));
    }
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size()) {
        return failed(Outcome::Unreadable, QStringLiteral("The picture file cannot be read."));
    }
    return fromData(bytes);
}

IconPicture IconPicture::fromData(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format.isEmpty()) {
        return failed(
            Outcome::Unreadable,
            QStringLiteral("The file cannot be read as a picture (%1).").arg(reader.errorString()));
    }
    if (!acceptedFormat(format)) {
        return failed(Outcome::Unreadable,
                      QStringLiteral("The picture is a %1 file; an icon is read from PNG, BMP, "
                                     "PBM, PGM, PPM, XPM or GIF files.")
                          .arg(QString::fromLatin1(format.toUpper())));
    }
    // A picture of a refused size is refused before it is decoded, however large it says it is.
    const QSize size = reader.size();
    if (size.isValid() && scaleOf(size) == 0) {
        return refusedSize(size);
    }
    if (PictureTruncation::isCutShort(bytes, format)) {
        return failed(Outcome::Unreadable,
                      QStringLiteral("The picture file is cut short: its %1 data ends early.")
                          .arg(QString::fromLatin1(format.toUpper())));
    }
    QImage picture;
    if (!reader.read(&picture)) {
        return failed(
            Outcome::Unreadable,
            QStringLiteral("The file cannot be read as a picture (%1).").arg(reader.errorString()));
    }
    return fromImage(picture);
}

bool IconPicture::isPictureFile(const QString& path) {
    QFile file;
    return openRegularFile(path, file).isEmpty() && !QImageReader::imageFormat(&file).isEmpty();
}

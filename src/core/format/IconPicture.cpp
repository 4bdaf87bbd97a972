// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconPicture.h"

#include "AddinHeader.h"
#include "IconRaster.h"
#include "PictureDamage.h"
#include "PngReader.h"
#include "PnmReader.h"
#include "XpmReader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QRgba64>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWidth = AddinHeader::kIconWidth;
constexpr int kHeight = AddinHeader::kIconHeight;
constexpr qint64 kFull = 65535; // a QImage is judged at 16 bits a channel
constexpr qsizetype kPngHeaderBytes = 24;

// The formats an icon is drawn in, by the reader's names; a lossy JPEG has no place here.
bool acceptedFormat(const QByteArray& format) {
    static const QByteArrayList formats = {"png", "bmp", "pbm", "pgm", "ppm", "xpm", "gif"};
    return formats.contains(format);
}

// PNG, PBM, PGM and PPM are read a piece at a time, so their files may be as long as the
// plainest picture of the largest size needs.
bool readInPieces(const QByteArray& format) {
    return format == "png" || format == "pbm" || format == "pgm" || format == "ppm";
}

IconPicture failed(IconPicture::Outcome outcome, const QString& problem) {
    IconPicture result;
    result.outcome = outcome;
    result.problem = problem;
    return result;
}

// A reader's own words for why it could not read the picture.
IconPicture unreadable(const QString& readerError) {
    return failed(IconPicture::Outcome::Unreadable,
                  QStringLiteral("The file cannot be read as a picture (%1).").arg(readerError));
}

// Qt's image readers report damage in their own words through Qt's message handler ("QImage:
// XPM pixels missing", allocation limits); the program says what went wrong in one sentence,
// so while a picture is read their warnings go nowhere. The error stream itself stays open:
// an abort or a sanitizer's report is never hidden. Critical and fatal messages pass on.
class QuietImageReaders {
public:
    QuietImageReaders() : m_previous(qInstallMessageHandler(drop)) { s_previous = m_previous; }
    ~QuietImageReaders() { qInstallMessageHandler(m_previous); }
    QuietImageReaders(const QuietImageReaders&) = delete;
    QuietImageReaders& operator=(const QuietImageReaders&) = delete;

private:
    static void drop(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if ((type == QtCriticalMsg || type == QtFatalMsg) && s_previous != nullptr) {
            s_previous(type, context, message);
        }
    }

    static inline QtMessageHandler s_previous = nullptr;
    QtMessageHandler m_previous;
};

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

// A picture Qt decoded with a colour table: a pixel whose index lies past the table is damage
// (Qt shows it black), named here; empty when every index is in the table.
QString paletteDamage(const QImage& picture) {
    const bool indexed = picture.format() == QImage::Format_Indexed8 ||
                         picture.format() == QImage::Format_Mono ||
                         picture.format() == QImage::Format_MonoLSB;
    if (!indexed) {
        return {};
    }
    const int colours = picture.colorCount();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (const int index = picture.pixelIndex(x, y); index >= colours) {
                return QStringLiteral("its pixel at (%1, %2) uses colour %3 of a palette of %4")
                    .arg(x)
                    .arg(y)
                    .arg(index)
                    .arg(colours);
            }
        }
    }
    return {};
}

// BMP and GIF go through Qt's readers, once their structure has been checked.
IconPicture readWithQt(const QByteArray& bytes, const QByteArray& format) {
    const QString name = QString::fromLatin1(format.toUpper());
    const auto declared = PictureDamage::declaredSize(bytes, format);
    if (declared && IconRaster::scaleOf(declared->width, declared->height) == 0) {
        return IconPicture::refusedSize(declared->width, declared->height);
    }
    const PictureDamage::Finding finding = PictureDamage::inspect(bytes, format);
    if (finding.cutShort) {
        return IconPicture::cutShort(name);
    }
    if (!finding.damage.isEmpty()) {
        return IconPicture::damaged(name, finding.damage);
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (size.isValid() && IconRaster::scaleOf(size.width(), size.height()) == 0) {
        return IconPicture::refusedSize(size.width(), size.height());
    }
    QImage picture;
    if (!reader.read(&picture)) {
        return unreadable(reader.errorString());
    }
    if (const QString damage = paletteDamage(picture); !damage.isEmpty()) {
        return IconPicture::damaged(name, damage);
    }
    return IconPicture::fromImage(picture);
}

// Reads the picture on `device` (at its start, `size` bytes long); `whole` holds the same
// bytes when they are already in memory.
IconPicture read(QIODevice& device, qint64 size, const QByteArray& whole) {
    const QuietImageReaders quiet;
    QByteArray format;
    {
        QImageReader probe(&device);
        format = probe.format();
        if (format.isEmpty()) {
            return unreadable(probe.errorString());
        }
    }
    device.seek(0);
    if (!acceptedFormat(format)) {
        return failed(IconPicture::Outcome::Unreadable,
                      QStringLiteral("The picture is a %1 file; an icon is read from PNG, BMP, "
                                     "PBM, PGM, PPM, XPM or GIF files.")
                          .arg(QString::fromLatin1(format.toUpper())));
    }
    const qint64 most =
        readInPieces(format) ? IconPicture::kMaxPlainFileBytes : IconPicture::kMaxFileBytes;
    if (size > most) {
        return failed(IconPicture::Outcome::Unreadable,
                      QStringLiteral("The picture file is %1 bytes; no %2 icon picture needs "
                                     "more than %3.")
                          .arg(size)
                          .arg(QString::fromLatin1(format.toUpper()))
                          .arg(most));
    }
    if (format == "png") {
        // A picture of a refused size is refused before it is decoded, however large it says
        // it is (libpng itself stops at a million pixels a side, calling that damage).
        const auto declared = PictureDamage::declaredSize(device.peek(kPngHeaderBytes), format);
        if (declared && IconRaster::scaleOf(declared->width, declared->height) == 0) {
            return IconPicture::refusedSize(declared->width, declared->height);
        }
        return PngReader::read(device);
    }
    if (readInPieces(format)) {
        return PnmReader::read(device);
    }
    const QByteArray bytes = whole.isNull() ? device.readAll() : whole;
    if (bytes.size() != size) {
        return failed(IconPicture::Outcome::Unreadable,
                      QStringLiteral("The picture file cannot be read."));
    }
    return format == "xpm" ? XpmReader::read(bytes) : readWithQt(bytes, format);
}

} // namespace

IconPicture IconPicture::fromImage(const QImage& picture) {
    if (picture.isNull()) {
        return failed(Outcome::Unreadable, QStringLiteral("There is no picture."));
    }
    if (IconRaster::scaleOf(picture.width(), picture.height()) == 0) {
        return refusedSize(picture.width(), picture.height());
    }
    IconRaster raster(picture.width(), picture.height());
    // One picture row at a time at 16 bits a channel: a large picture is not copied whole.
    for (int y = 0; y < picture.height(); ++y) {
        const QImage line =
            picture.copy(0, y, picture.width(), 1).convertToFormat(QImage::Format_RGBA64);
        const auto* pixels = reinterpret_cast<const QRgba64*>(line.constScanLine(0));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgba64 pixel = pixels[x];
            if (!raster.put(x, y,
                            IconRaster::isBlack(pixel.red(), pixel.green(), pixel.blue(),
                                                pixel.alpha(), kFull))) {
                return fromRaster(raster);
            }
        }
    }
    return fromRaster(raster);
}

IconPicture IconPicture::fromFile(const QString& path) {
    QFile file;
    if (const QString why = openRegularFile(path, file); !why.isEmpty()) {
        return failed(Outcome::Unreadable, why);
    }
    return read(file, file.size(), QByteArray());
}

IconPicture IconPicture::fromData(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, bytes.size(), bytes);
}

bool IconPicture::isPictureFile(const QString& path) {
    QFile file;
    return openRegularFile(path, file).isEmpty() && !QImageReader::imageFormat(&file).isEmpty();
}

IconPicture IconPicture::fromRaster(const IconRaster& raster) {
    if (!raster.problem().isEmpty()) {
        return failed(Outcome::Refused, raster.problem());
    }
    IconPicture result;
    result.icon = raster.icon();
    return result;
}

IconPicture IconPicture::refusedSize(qint64 width, qint64 height) {
    const int most = kMaxScale;
    return failed(Outcome::Refused,
                  QStringLiteral("The picture is %1 x %2 pixels; an icon picture is %3 x %4 "
                                 "pixels, or a whole multiple of that in both directions up to "
                                 "%5 times (%6 x %7, %8 x %9, ... %10 x %11).")
                      .arg(width)
                      .arg(height)
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

IconPicture IconPicture::cutShort(const QString& format) {
    return failed(
        Outcome::Unreadable,
        QStringLiteral("The picture file is cut short: its %1 data ends early.").arg(format));
}

IconPicture IconPicture::damaged(const QString& format, const QString& what) {
    return failed(Outcome::Unreadable,
                  QStringLiteral("The %1 picture is damaged: %2.").arg(format, what));
}

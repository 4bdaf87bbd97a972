// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFiles.h"

#include "AddinHeader.h"
#include "FilePath.h"
#include "IconBitmap.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtEndian>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include <zlib.h>

namespace {

// Qt cannot remove a file it cannot name, so the folder's contents go by their bytes.
void removeContents(const QByteArray& folder) {
    DIR* listing = ::opendir(folder.constData());
    if (listing == nullptr) {
        return;
    }
    std::vector<QByteArray> names;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(listing);
    for (const QByteArray& name : names) {
        const QByteArray path = folder + '/' + name;
        struct stat info {};
        if (::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
            ::chmod(path.constData(), 0700);
            removeContents(path);
            ::rmdir(path.constData());
        } else {
            ::unlink(path.constData());
        }
    }
}

} // namespace

TestFiles::TestFiles() {
    m_dir.setAutoRemove(true);
}

TestFiles::~TestFiles() {
    removeContents(FilePath::toBytes(m_dir.path()));
}

// Names go to the system byte for byte (see FilePath), so that tests can make and read files
// whose names are not UTF-8.
QString TestFiles::write(const QString& name, const QByteArray& bytes) const {
    QString filePath = path(name);
    const int fd = ::open(FilePath::toBytes(filePath).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, bytes.constData(), bytes.size());
        ::close(fd);
    }
    return filePath;
}

QByteArray TestFiles::read(const QString& filePath) {
    const int fd = ::open(FilePath::toBytes(filePath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {};
    }
    QByteArray bytes;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, got);
    }
    ::close(fd);
    return bytes;
}

QString TestFiles::assembleExample(const QString& name) const {
    const QString source = qEnvironmentVariable("MOBRIN_EXAMPLES") + '/' + name + ".asm";
    const QString binary = path(name + ".bin");
    return QProcess::execute("z80asm", {"-o", binary, source}) == 0 ? binary : QString();
}

QByteArray TestFiles::icon() {
    QByteArray bytes;
    for (int i = 0; i < AddinHeader::kIconBytes; ++i) {
        bytes.append(char((i * 37 + i / 5) & 0xFF));
    }
    bytes[0] = char(0x81);
    return bytes;
}

QByteArray TestFiles::addin(const QByteArray& name, const QByteArray& description, int codeLength,
                            int totalSize, const QByteArray& classText) {
    QByteArray bytes = buildAddinHeader(classText, name, description, 0x1234, 0x0000, icon());
    for (int i = 0; i < codeLength; ++i) {
        bytes.append(char(i % 0xFF));
    }
    if (bytes.size() < totalSize) {
        bytes.append(totalSize - bytes.size(), char(0xFF));
    }
    return bytes;
}

QByteArray TestFiles::randomIcon(quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(AddinHeader::kIconBytes, '\0');
    for (char& byte : bytes) {
        byte = char(random.bounded(256));
    }
    return bytes;
}

QImage TestFiles::drawnIcon(const QByteArray& icon, int scale) {
    QImage pixels = IconBitmap::cleared(Qt::white);
    IconBitmap::paint(pixels, icon);
    return pixels.scaled(pixels.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// Two colours (0 white, 1 black), the pixels coded as a clear code and two literals at a time,
// so every code stays 3 bits wide.
QByteArray TestFiles::gif(const QByteArray& icon, int pixels) {
    QByteArray gif("GIF89a");
    gif += QByteArray::fromHex("2800200081"
                               "0000"); // 40 x 32, 4 colours
    gif += QByteArray::fromHex("ffffff000000000000000000");
    gif += QByteArray::fromHex("2c00000000280020"
                               "0000"); // one image, the whole screen
    gif += char(2);                     // the smallest code size
    constexpr int kClear = 4;
    constexpr int kEnd = 5;
    QByteArray coded;
    quint32 bits = 0;
    int count = 0;
    const auto put = [&](int code) {
        bits |= quint32(code) << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8) {
            coded += char(bits & 0xFF);
        }
    };
    for (int pixel = 0; pixel < pixels; ++pixel) {
        if (pixel % 2 == 0) {
            put(kClear);
        }
        put((quint8(icon[pixel / 8]) >> (7 - pixel % 8)) & 1);
    }
    put(kEnd);
    if (count > 0) {
        coded += char(bits & 0xFF);
    }
    for (qsizetype at = 0; at < coded.size(); at += 255) {
        const QByteArray block = coded.mid(at, 255);
        gif += char(block.size());
        gif += block;
    }
    gif += '\0';
    gif += char(0x3B);
    return gif;
}

QByteArray TestFiles::pngChunk(const QByteArray& type, const QByteArray& data) {
    const QByteArray body = type + data;
    const auto checksum =
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())));
    QByteArray chunk(4, Qt::Uninitialized);
    qToBigEndian(quint32(data.size()), chunk.data());
    chunk += body + QByteArray(4, Qt::Uninitialized);
    qToBigEndian(checksum, chunk.data() + chunk.size() - 4);
    return chunk;
}

QByteArray TestFiles::png(int width, int height, int colourType, int depth, bool interlaced,
                          const QByteArray& chunks, const QByteArray& rows) {
    QByteArray header(8, Qt::Uninitialized);
    qToBigEndian(quint32(width), header.data());
    qToBigEndian(quint32(height), header.data() + 4);
    header += char(depth);
    header += char(colourType);
    header += QByteArray(2, '\0') + char(interlaced ? 1 : 0);
    return QByteArray("\x89PNG\r\n\x1a\n") + pngChunk("IHDR", header) + chunks +
           pngChunk("IDAT", qCompress(rows).mid(4)) + pngChunk("IEND", {});
}

QByteArray TestFiles::xpm(const QByteArrayList& colours, const QByteArrayList& rows) {
    QByteArray bytes = "/* XPM */\nstatic char *icon[] = {\n\"40 32 " +
                       QByteArray::number(colours.size()) + " 1\",\n";
    for (const QByteArray& line : colours + rows) {
        bytes += '"' + line + "\",\n";
    }
    return bytes + "};\n";
}

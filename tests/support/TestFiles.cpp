// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFiles.h"

#include "AddinHeader.h"
#include "FilePath.h"
#include "IconBitmap.h"

#include <QRandomGenerator>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

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

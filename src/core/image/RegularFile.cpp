// SPDX-License-Identifier: GPL-3.0-or-later
#include "RegularFile.h"

#include "FilePath.h"

#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Attempts at a temporary name that no other file has.
constexpr int kTemporaryAttempts = 100;

} // namespace

RegularFile::RegularFile(const QString& path, int flags)
    : RegularFile(FilePath::toBytes(path), flags) {}

RegularFile::RegularFile(const QByteArray& name, int flags) : RegularFile(AT_FDCWD, name, flags) {}

RegularFile::RegularFile(int folder, const QByteArray& name, int flags)
    : m_fd(::openat(folder, name.constData(), flags | O_NONBLOCK | O_CLOEXEC)) {
    if (m_fd >= 0 && (::fstat(m_fd, &m_info) != 0 || !S_ISREG(m_info.st_mode))) {
        const bool folder = S_ISDIR(m_info.st_mode);
        ::close(m_fd);
        m_fd = -1;
        errno = folder ? EISDIR : EINVAL; // the reason a caller reports
    }
}

RegularFile::~RegularFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

qint64 RegularFile::currentSize() const {
    struct stat info {};
    return m_fd >= 0 && ::fstat(m_fd, &info) == 0 ? qint64(info.st_size) : -1;
}

bool RegularFile::writeAll(int fd, QByteArrayView bytes, qint64 offset) {
    const char* data = bytes.data();
    qint64 length = bytes.size();
    while (length > 0) {
        const ssize_t written = ::pwrite(fd, data, size_t(length), off_t(offset));
        if (written <= 0) {
            if (written == 0) {
                errno = ENOSPC; // nothing taken and no reason given: no room
            }
            return false;
        }
        data += written;
        length -= written;
        offset += written;
    }
    return true;
}

bool RegularFile::readAll(int fd, char* into, qint64 length, qint64 offset) {
    while (length > 0) {
        const ssize_t got = ::pread(fd, into, size_t(length), off_t(offset));
        if (got <= 0) {
            if (got == 0) {
                errno = EIO; // the file ended before its measured size
            }
            return false;
        }
        into += got;
        length -= got;
        offset += got;
    }
    return true;
}

int RegularFile::createTemporary(int folder, QByteArray& name) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        name = ".mobrin-";
        for (int i = 0; i < 6; ++i) {
            name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
        }
        const int fd =
            ::openat(folder, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

mode_t RegularFile::newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinImage.h"

#include "DeferredQuitSignals.h"
#include "FilePath.h"

#include <cerrno>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Takes `length` bytes at `start` out of the file again, moving down whatever was appended
// after them, so the file is as it would be without them.
void cutOut(int fd, qint64 start, qint64 length) {
    // The descriptor appends; writing at an offset needs that off.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_APPEND);
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return;
    }
    const qint64 tailStart = start + length;
    const qint64 tailLength = qint64(info.st_size) - tailStart;
    if (tailLength > 0) {
        // The descriptor may write only (padding needs no read permission); the same file
        // opened again for reading gives the bytes to move.
        const RegularFile reader(QByteArray("/proc/self/fd/") + QByteArray::number(fd), O_RDONLY);
        QByteArray tail(tailLength, Qt::Uninitialized);
        if (!reader.isOpen() ||
            !RegularFile::readAll(reader.fd(), tail.data(), tailLength, tailStart) ||
            !RegularFile::writeAll(fd, tail, start)) {
            return;
        }
    }
    // Best effort, as the moves above: the caller reports the padding as not done either way.
    std::ignore = ::ftruncate(fd, start + qMax<qint64>(tailLength, 0));
    ::fsync(fd);
}

// Whether `path` still leads to the open `file`.
bool stillAt(const QString& path, const RegularFile& file) {
    struct stat info {};
    return ::stat(FilePath::toBytes(path).constData(), &info) == 0 &&
           FileIdentity::of(info) == file.identity();
}

} // namespace

AddinImage::Probe AddinImage::probe(const QString& path) {
    if (!FilePath::namesExactly(path)) {
        return {ProbeOutcome::InexactName, 0};
    }
    struct stat info {};
    if (path.isEmpty()) {
        return {ProbeOutcome::Missing, 0, ENOENT};
    }
    if (::stat(FilePath::toBytes(path).constData(), &info) != 0) {
        return {ProbeOutcome::Missing, 0, errno};
    }
    if (!S_ISREG(info.st_mode)) {
        return {ProbeOutcome::NotRegularFile, 0};
    }
    const qint64 size = info.st_size;
    return {size > kMaxFileSize ? ProbeOutcome::TooLong : ProbeOutcome::Ok, size};
}

AddinImage::PadOutcome AddinImage::pad(const QString& path, qint64 size,
                                       std::optional<FileIdentity> measured, int* error) {
    const qint64 count = paddingFor(size);
    if (count == 0) {
        return PadOutcome::Padded;
    }
    // A signal never ends the program with half the padding on disk.
    const DeferredQuitSignals held;
    const auto failed = [error] {
        if (error != nullptr) {
            *error = errno;
        }
        return PadOutcome::Failed;
    };
    const RegularFile file(path, O_WRONLY | O_APPEND);
    if (!file.isOpen()) {
        return failed();
    }
    if ((measured && file.identity() != *measured) || file.currentSize() != size) {
        return PadOutcome::Changed;
    }
    // One appending write puts the padding in one piece where the file ends at that moment:
    // where it landed tells whether another program wrote to the file since it was measured.
    const QByteArray padding(count, kPadByte);
    const ssize_t written = ::write(file.fd(), padding.constData(), size_t(count));
    if (written <= 0) {
        errno = written == 0 ? ENOSPC : errno;
        return failed();
    }
    const qint64 start = qint64(::lseek(file.fd(), 0, SEEK_CUR)) - written;
    qint64 appended = written;
    PadOutcome outcome = PadOutcome::Padded;
    if (written != count) {
        // Asked for the rest, the system says why it would not take it.
        const ssize_t more = ::write(file.fd(), padding.constData(), size_t(count - written));
        errno = more < 0 ? errno : ENOSPC;
        appended += qMax<ssize_t>(more, 0);
        outcome = failed();
    } else if (::fsync(file.fd()) != 0) {
        outcome = failed();
    } else if (start != size || !stillAt(path, file)) {
        outcome = PadOutcome::Changed;
    }
    if (outcome != PadOutcome::Padded) {
        cutOut(file.fd(), start, appended);
    }
    return outcome;
}

std::optional<QByteArray> AddinImage::readFile(const QString& path, qint64 size,
                                               FileIdentity* identity, int* error) {
    const auto failed = [error](int number) {
        if (error != nullptr) {
            *error = number;
        }
        return std::nullopt;
    };
    const RegularFile file(path, O_RDONLY);
    if (!file.isOpen()) {
        return failed(errno);
    }
    if (size < 0 || size > kMaxFileSize) {
        return failed(0);
    }
    QByteArray bytes(size, Qt::Uninitialized);
    if (!RegularFile::readAll(file.fd(), bytes.data(), size, 0)) {
        return failed(errno);
    }
    if (identity != nullptr) {
        *identity = file.identity();
    }
    return bytes;
}

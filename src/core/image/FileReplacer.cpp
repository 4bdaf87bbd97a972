// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileReplacer.h"

#include "DeferredQuitSignals.h"
#include "FilePath.h"

#include <QByteArray>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <tuple>

#include <fcntl.h>
#include <unistd.h>

namespace {

// As many links as the system itself follows before it gives up (Linux's MAXSYMLINKS).
constexpr int kMaxLinkDepth = 40;
// A file written in place is first read whole, so that a failed write can be undone; one
// larger than this is not an add-in or an icon anyone meant to overwrite, and is refused.
constexpr qint64 kMaxInPlaceSize = qint64(64) * 1024 * 1024;

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path) {
    return path.mid(path.lastIndexOf('/') + 1);
}

// The absolute name of the file at the end of `path`'s chain of symbolic links (a link to a
// link would otherwise lose the inner link to the rename). Nothing for a loop.
std::optional<QByteArray> finalTarget(QByteArray path) {
    if (!path.startsWith('/')) {
        char* folder = ::getcwd(nullptr, 0);
        if (folder == nullptr) {
            return std::nullopt;
        }
        path = QByteArray(folder) + '/' + path;
        std::free(folder);
    }
    for (int depth = 0;; ++depth) {
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        if (depth == kMaxLinkDepth) {
            return std::nullopt;
        }
        char link[PATH_MAX];
        const ssize_t length = ::readlink(path.constData(), link, sizeof link);
        if (length <= 0 || length == ssize_t(sizeof link)) {
            return std::nullopt;
        }
        const QByteArray text(link, length);
        path = text.startsWith('/') ? text : folderOf(path) + '/' + text;
    }
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes `bytes` into the existing file `target` itself, so that its inode, owner and links
// stay. The old bytes are read first and put back when the write fails.
FileReplacer::Outcome writeInPlace(const QByteArray& target, QByteArrayView bytes,
                                   const struct stat& old) {
    const RegularFile file(target, O_RDWR | O_NOFOLLOW);
    const qint64 oldSize = file.currentSize();
    if (!file.isOpen() || file.identity() != FileIdentity::of(old) || oldSize < 0 ||
        oldSize > kMaxInPlaceSize) {
        return FileReplacer::Outcome::Failed;
    }
    QByteArray before(oldSize, Qt::Uninitialized);
    if (!RegularFile::readAll(file.fd(), before.data(), oldSize, 0)) {
        return FileReplacer::Outcome::Failed;
    }
    if (RegularFile::writeAll(file.fd(), bytes, 0) && ::ftruncate(file.fd(), bytes.size()) == 0 &&
        ::fsync(file.fd()) == 0) {
        return FileReplacer::Outcome::Written;
    }
    // Rewriting bytes that were there needs no new room, so this normally succeeds.
    RegularFile::writeAll(file.fd(), before, 0);
    std::ignore = ::ftruncate(file.fd(), oldSize); // the write has failed either way
    ::fsync(file.fd());
    return FileReplacer::Outcome::Failed;
}

} // namespace

FileReplacer::Outcome FileReplacer::replace(const QString& path, QByteArrayView bytes,
                                            std::optional<FileIdentity> input) {
    if (path.isEmpty()) {
        return Outcome::Failed;
    }
    if (!FilePath::namesExactly(path)) {
        return Outcome::InexactName;
    }
    const std::optional<QByteArray> target = finalTarget(FilePath::toBytes(path));
    if (!target) {
        return Outcome::Failed;
    }
    struct stat old {};
    const bool exists = ::lstat(target->constData(), &old) == 0;
    if (!exists && errno != ENOENT) {
        return Outcome::Failed;
    }
    if (exists) {
        // A device, FIFO, socket or folder is never replaced by a plain file (think of
        // /dev/null as root), and the input is never overwritten by what was made from it.
        if (!S_ISREG(old.st_mode)) {
            return Outcome::NotRegularFile;
        }
        if (input && FileIdentity::of(old) == *input) {
            return Outcome::IsInput;
        }
        // A file its owner made read-only is not replaced behind their back, even where the
        // folder would allow the rename.
        if (::access(target->constData(), W_OK) != 0) {
            return Outcome::Failed;
        }
    }

    // From the temporary file's creation to its rename or removal no SIGINT, SIGTERM or SIGHUP
    // ends the program: it would leave the temporary file, or a file written halfway.
    const DeferredQuitSignals held;
    // The new bytes go to a temporary file beside the target first, and only a complete,
    // synced copy takes its place. (QSaveFile reports success for a write cut short by a
    // file-size limit, so every write is checked here instead.)
    QByteArray tempName = folderOf(*target) + "/." + nameOf(*target) + ".XXXXXX";
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) {
        return Outcome::Failed;
    }
    bool ok = RegularFile::writeAll(fd, bytes, 0);
    // Owner, group and mode: renaming the copy over the file keeps them only if the copy gets
    // them first. Root can give the copy any owner; anyone else only their own file to a
    // group of theirs. Where the owner or group cannot be given, or other hard links lead to
    // the same file (a rename would split them off with the old bytes), the file itself is
    // written instead, but only now that the complete copy is on disk: the room and the
    // file-size limit have been proved, so the write in place will not stop halfway, and
    // if it fails all the same the old bytes are put back. Refusing these files instead would
    // leave a group's shared add-ins unsaveable for all but their owner.
    bool inPlace = false;
    if (exists) {
        struct stat copy {};
        ok = ok && ::fstat(fd, &copy) == 0;
        const bool sameOwner = copy.st_uid == old.st_uid && copy.st_gid == old.st_gid;
        inPlace = old.st_nlink > 1 || (!sameOwner && ::fchown(fd, old.st_uid, old.st_gid) != 0);
        ok = ok && ::fchmod(fd, old.st_mode & 07777) == 0;
    } else {
        ok = ok && ::fchmod(fd, newFileMode()) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(tempName.constData());
        return Outcome::Failed;
    }
    if (inPlace) {
        const Outcome outcome = writeInPlace(*target, bytes, old);
        ::unlink(tempName.constData());
        return outcome;
    }
    if (::rename(tempName.constData(), target->constData()) != 0) {
        ::unlink(tempName.constData());
        return Outcome::Failed;
    }
    return Outcome::Written;
}

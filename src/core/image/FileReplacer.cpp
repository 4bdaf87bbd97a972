// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileReplacer.h"

#include "DeferredQuitSignals.h"
#include "FilePath.h"

#include <QByteArray>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <tuple>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Outcome = FileReplacer::Outcome;
using Result = FileReplacer::Result;

// As many links as the system itself follows before it gives up (Linux's MAXSYMLINKS).
constexpr int kMaxLinkDepth = 40;
// A file written in place is first read whole, so that a failed write can be undone; one
// larger than this is not an add-in or an icon anyone meant to overwrite, and is refused.
constexpr qint64 kMaxInPlaceSize = qint64(64) * 1024 * 1024;

Result failure(int error) {
    return {Outcome::Failed, error};
}

// A folder held open, or the current folder (AT_FDCWD), and the name of an entry in it. Every
// step works on the pair, so no absolute name is ever made: one would break the system's
// 4096-byte limit in a deep folder, and getcwd() fails there altogether.
class Place {
public:
    Place() = default;
    Place(int folder, QByteArray name) : m_folder(folder), m_name(std::move(name)) {}
    ~Place() { release(); }
    Place(Place&& other) noexcept
        : m_folder(std::exchange(other.m_folder, AT_FDCWD)), m_name(std::move(other.m_name)) {}
    Place& operator=(Place&& other) noexcept {
        if (this != &other) {
            release();
            m_folder = std::exchange(other.m_folder, AT_FDCWD);
            m_name = std::move(other.m_name);
        }
        return *this;
    }
    Place(const Place&) = delete;
    Place& operator=(const Place&) = delete;

    int folder() const { return m_folder; }
    const char* name() const { return m_name.constData(); }

    // The place `path` names, read from this place's folder when it is relative. A path that
    // ends in a folder ("dir/", ".", "..") names that folder itself as ".". Nothing when its
    // folder cannot be opened; errno says why.
    std::optional<Place> follow(const QByteArray& path) const {
        if (path.isEmpty()) {
            errno = ENOENT;
            return std::nullopt;
        }
        const qsizetype slash = path.lastIndexOf('/');
        const QByteArray name = path.mid(slash + 1);
        if (name.isEmpty() || name == "..") {
            return open(path, ".");
        }
        if (slash < 0) {
            return open(".", name);
        }
        return open(slash == 0 ? QByteArray("/") : path.left(slash), name);
    }

private:
    std::optional<Place> open(const QByteArray& folder, const QByteArray& name) const {
        const int fd = ::openat(m_folder, folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return std::nullopt;
        }
        return Place(fd, name);
    }
    void release() {
        if (m_folder >= 0) {
            ::close(m_folder);
        }
        m_folder = AT_FDCWD;
    }

    int m_folder = AT_FDCWD;
    QByteArray m_name;
};

// The place of the file at the end of `path`'s chain of symbolic links (a link to a link
// would otherwise lose the inner link to the rename). Nothing for a loop or a folder that
// cannot be opened; errno says why.
std::optional<Place> finalTarget(const QByteArray& path) {
    std::optional<Place> place = Place().follow(path);
    for (int depth = 0; place; ++depth) {
        struct stat info {};
        if (::fstatat(place->folder(), place->name(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(info.st_mode)) {
            return place;
        }
        if (depth == kMaxLinkDepth) {
            errno = ELOOP;
            return std::nullopt;
        }
        char link[PATH_MAX];
        const ssize_t length = ::readlinkat(place->folder(), place->name(), link, sizeof link);
        if (length <= 0 || length == ssize_t(sizeof link)) {
            errno = length < 0 ? errno : ENAMETOOLONG;
            return std::nullopt;
        }
        const QByteArray text(link, length);
        place = text.startsWith('/') ? Place().follow(text) : place->follow(text);
    }
    return place;
}

// Writes `bytes` into the existing file itself, so that its inode, owner and links stay. The
// old bytes are read first and put back when the write fails.
Result writeInPlace(const Place& target, QByteArrayView bytes, const struct stat& old) {
    const RegularFile file(target.folder(), target.name(), O_RDWR | O_NOFOLLOW);
    if (!file.isOpen()) {
        return failure(errno);
    }
    const qint64 oldSize = file.currentSize();
    if (file.identity() != FileIdentity::of(old) || oldSize < 0) {
        return failure(0); // another file took its place meanwhile: no system error to tell
    }
    if (oldSize > kMaxInPlaceSize) {
        return failure(EFBIG);
    }
    QByteArray before(oldSize, Qt::Uninitialized);
    if (!RegularFile::readAll(file.fd(), before.data(), oldSize, 0)) {
        return failure(errno);
    }
    if (RegularFile::writeAll(file.fd(), bytes, 0) && ::ftruncate(file.fd(), bytes.size()) == 0 &&
        ::fsync(file.fd()) == 0) {
        return {Outcome::Written, 0};
    }
    const int error = errno;
    // Rewriting bytes that were there needs no new room, so this normally succeeds.
    RegularFile::writeAll(file.fd(), before, 0);
    std::ignore = ::ftruncate(file.fd(), oldSize); // the write has failed either way
    ::fsync(file.fd());
    return failure(error);
}

} // namespace

QString FileReplacer::Result::reason() const {
    return outcome == Outcome::Failed && error != 0 ? qt_error_string(error) : QString();
}

FileReplacer::Result FileReplacer::replace(const QString& path, QByteArrayView bytes,
                                           std::optional<FileIdentity> input) {
    if (path.isEmpty()) {
        return failure(ENOENT);
    }
    if (!FilePath::namesExactly(path)) {
        return {Outcome::InexactName, 0};
    }
    const std::optional<Place> target = finalTarget(FilePath::toBytes(path));
    if (!target) {
        return failure(errno);
    }
    struct stat old {};
    const bool exists = ::fstatat(target->folder(), target->name(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT) {
        return failure(errno);
    }
    if (exists) {
        // A device, FIFO, socket or folder is never replaced by a plain file (think of
        // /dev/null as root), and the input is never overwritten by what was made from it.
        if (!S_ISREG(old.st_mode)) {
            return {Outcome::NotRegularFile, 0};
        }
        if (input && FileIdentity::of(old) == *input) {
            return {Outcome::IsInput, 0};
        }
        // A file its owner made read-only is not replaced behind their back, even where the
        // folder would allow the rename.
        if (::faccessat(target->folder(), target->name(), W_OK, 0) != 0) {
            return failure(errno);
        }
    }

    // From the temporary file's creation to its rename or removal no SIGINT, SIGTERM or SIGHUP
    // ends the program: it would leave the temporary file, or a file written halfway.
    const DeferredQuitSignals held;
    // The new bytes go to a temporary file beside the target first, and only a complete,
    // synced copy takes its place. (QSaveFile reports success for a write cut short by a
    // file-size limit, so every write is checked here instead.)
    QByteArray tempName;
    const int fd = RegularFile::createTemporary(target->folder(), tempName);
    if (fd < 0) {
        // A folder the user may not write to refuses the temporary file, though the file in it
        // may be theirs to write, as Open's padding does: then the file itself is written,
        // its old bytes kept to be put back should the write fail.
        if (exists && (errno == EACCES || errno == EPERM)) {
            return writeInPlace(*target, bytes, old);
        }
        return failure(errno);
    }
    int error = 0;
    // Keeps the reason of the first step that failed.
    const auto check = [&error](bool step) {
        if (!step && error == 0) {
            error = errno;
        }
        return step;
    };
    bool ok = check(RegularFile::writeAll(fd, bytes, 0));
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
        ok = ok && check(::fstat(fd, &copy) == 0);
        const bool sameOwner = copy.st_uid == old.st_uid && copy.st_gid == old.st_gid;
        inPlace = old.st_nlink > 1 || (!sameOwner && ::fchown(fd, old.st_uid, old.st_gid) != 0);
        ok = ok && check(::fchmod(fd, old.st_mode & 07777) == 0);
    } else {
        ok = ok && check(::fchmod(fd, RegularFile::newFileMode()) == 0);
    }
    ok = ok && check(::fsync(fd) == 0);
    ok = check(::close(fd) == 0) && ok;
    if (!ok) {
        ::unlinkat(target->folder(), tempName.constData(), 0);
        return failure(error);
    }
    if (inPlace) {
        const Result result = writeInPlace(*target, bytes, old);
        ::unlinkat(target->folder(), tempName.constData(), 0);
        return result;
    }
    if (::renameat(target->folder(), tempName.constData(), target->folder(), target->name()) != 0) {
        error = errno;
        ::unlinkat(target->folder(), tempName.constData(), 0);
        return failure(error);
    }
    return {Outcome::Written, 0};
}

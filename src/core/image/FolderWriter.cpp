// SPDX-License-Identifier: GPL-3.0-or-later
#include "FolderWriter.h"

#include "DeferredQuitSignals.h"
#include "FilePath.h"

#include <cerrno>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

using Outcome = FolderWriter::Outcome;
using Result = FolderWriter::Result;

Result resultOf(Outcome outcome, const QString& path = {}, int error = 0) {
    Result result;
    result.outcome = outcome;
    result.path = path;
    result.error = error;
    return result;
}

// One file of the set on its way into the folder.
struct Slot {
    QByteArray name;
    QByteArray temporary; // the new bytes, until they take `name`
    QByteArray kept;      // an empty stand-in, then the old entry moved aside
    std::optional<struct stat> old;
    bool oldAside = false; // the old entry is at `kept`
    bool placed = false;   // the new file is at `name`
};

// The folder, held open so that every step happens in the folder first looked at.
class OpenFolder {
public:
    explicit OpenFolder(const QString& path)
        : m_fd(::open(FilePath::toBytes(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC)) {}
    ~OpenFolder() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    int fd() const { return m_fd; }

private:
    int m_fd;
};

class Writer {
public:
    Writer(const QString& folder, int fd) : m_folder(folder), m_fd(fd) {}

    QString pathOf(const QByteArray& name) const {
        const QString file = FilePath::fromBytes(name);
        return m_folder.endsWith(QLatin1Char('/')) ? m_folder + file
                                                   : m_folder + QLatin1Char('/') + file;
    }

    // What stops `slot`'s name from being written, looked at before anything is.
    Result check(Slot& slot, bool replace, std::optional<FileIdentity> input) const {
        struct stat info {};
        if (::fstatat(m_fd, slot.name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return errno == ENOENT ? resultOf(Outcome::Written) : failed(slot.name, errno);
        }
        if (!replace) {
            return resultOf(Outcome::Exists, pathOf(slot.name));
        }
        // A link is replaced by the new file, whatever it leads to; one to the input is
        // refused all the same, as the input itself is: the user surely meant another folder.
        struct stat followed {};
        const bool isInput = input && (FileIdentity::of(info) == *input ||
                                       (S_ISLNK(info.st_mode) &&
                                        ::fstatat(m_fd, slot.name.constData(), &followed, 0) == 0 &&
                                        FileIdentity::of(followed) == *input));
        if (isInput) {
            return resultOf(Outcome::IsInput, pathOf(slot.name));
        }
        if (!S_ISLNK(info.st_mode) && !S_ISREG(info.st_mode)) {
            return resultOf(Outcome::NotRegularFile, pathOf(slot.name));
        }
        // A file its owner made read-only is not replaced behind their back.
        if (S_ISREG(info.st_mode) && ::faccessat(m_fd, slot.name.constData(), W_OK, 0) != 0) {
            return failed(slot.name, errno);
        }
        slot.old = info;
        return resultOf(Outcome::Written);
    }

    // The new bytes under a temporary name, modified at `time`, synced, with a stand-in for the
    // old entry beside.
    bool writeTemporary(Slot& slot, const QByteArray& bytes, const timespec& time, int& error) {
        error = 0;
        // Keeps the reason of the first step that failed.
        const auto step = [&error](bool done) {
            if (!done && error == 0) {
                error = errno;
            }
            return done;
        };
        const int fd = RegularFile::createTemporary(m_fd, slot.temporary);
        if (!step(fd >= 0)) {
            slot.temporary.clear();
            return false;
        }
        bool ok = step(RegularFile::writeAll(fd, bytes, 0));
        // A file of the folder's own keeps its owner, group and mode, where they can be given;
        // a link or a file with other names is not the folder's to take them from.
        const bool own = slot.old && S_ISREG(slot.old->st_mode) && slot.old->st_nlink == 1;
        if (ok && own) {
            // Only root may give them all; anyone else keeps the file as their own.
            std::ignore = ::fchown(fd, slot.old->st_uid, slot.old->st_gid);
        }
        const mode_t mode = own ? slot.old->st_mode & 07777 : RegularFile::newFileMode();
        const timespec times[2] = {time, time};
        ok = ok && step(::fchmod(fd, mode) == 0) && step(::futimens(fd, times) == 0) &&
             step(::fsync(fd) == 0);
        ok = step(::close(fd) == 0) && ok;
        if (ok && slot.old) {
            const int stand = RegularFile::createTemporary(m_fd, slot.kept);
            ok = step(stand >= 0) && step(::close(stand) == 0);
            if (stand < 0) {
                slot.kept.clear();
            }
        }
        return ok;
    }

    // Moves the old entry aside, then the new file onto its name.
    bool place(Slot& slot, int& error) {
        if (slot.old) {
            if (::renameat(m_fd, slot.name.constData(), m_fd, slot.kept.constData()) != 0) {
                error = errno;
                return false;
            }
            slot.oldAside = true;
        }
        if (::renameat(m_fd, slot.temporary.constData(), m_fd, slot.name.constData()) != 0) {
            error = errno;
            return false;
        }
        slot.placed = true;
        return true;
    }

    QString strayOld(const Slot& slot, const char* fate) const {
        return pathOf(slot.kept) + QStringLiteral(": holds the old %1, which could not be %2")
                                       .arg(FilePath::fromBytes(slot.name), QLatin1String(fate));
    }

    // Puts the name back as it was and removes what was made for it; says what stays behind.
    void takeBack(Slot& slot, QStringList& strays) {
        if (!slot.placed && !slot.temporary.isEmpty()) {
            ::unlinkat(m_fd, slot.temporary.constData(), 0);
        }
        if (slot.oldAside) {
            // The old entry takes its name back; a new file already there goes with the rename.
            if (::renameat(m_fd, slot.kept.constData(), m_fd, slot.name.constData()) == 0) {
                slot.oldAside = false;
                slot.kept.clear();
            } else {
                strays << strayOld(slot, "put back");
            }
        } else if (slot.placed && ::unlinkat(m_fd, slot.name.constData(), 0) != 0) {
            strays << pathOf(slot.name) + QStringLiteral(": the new file could not be taken back");
        }
        if (!slot.oldAside && !slot.kept.isEmpty()) {
            ::unlinkat(m_fd, slot.kept.constData(), 0); // the stand-in
        }
    }

    // After the last rename: the old entries go.
    void removeOld(const Slot& slot, QStringList& strays) const {
        if (slot.oldAside && ::unlinkat(m_fd, slot.kept.constData(), 0) != 0) {
            strays << strayOld(slot, "removed");
        }
    }

    Result failed(const QByteArray& name, int error) const {
        return resultOf(Outcome::Failed, pathOf(name), error);
    }

private:
    QString m_folder;
    int m_fd;
};

} // namespace

QString FolderWriter::Result::reason() const {
    return outcome == Outcome::Failed && error != 0 ? qt_error_string(error) : QString();
}

FolderWriter::Result FolderWriter::write(const QString& folder, const QList<File>& files,
                                         bool replace, std::optional<FileIdentity> input) {
    const OpenFolder open(folder);
    if (open.fd() < 0) {
        return resultOf(Outcome::Failed, folder, errno);
    }
    Writer writer(folder, open.fd());
    QList<Slot> pending;
    for (const File& file : files) {
        Slot slot;
        slot.name = FilePath::toBytes(file.name);
        if (Result refusal = writer.check(slot, replace, input); !refusal.written()) {
            return refusal;
        }
        pending.append(slot);
    }

    // No SIGINT, SIGTERM or SIGHUP ends the program halfway: it would leave temporary files,
    // or a folder of old and new files mixed.
    const DeferredQuitSignals held;
    Result result = resultOf(Outcome::Written);
    int error = 0;
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    for (qsizetype i = 0; i < pending.size() && result.written(); ++i) {
        if (!writer.writeTemporary(pending[i], files[i].bytes, now, error)) {
            result = writer.failed(pending[i].name, error);
        }
    }
    for (qsizetype i = 0; i < pending.size() && result.written(); ++i) {
        if (!writer.place(pending[i], error)) {
            result = writer.failed(pending[i].name, error);
        }
    }
    if (!result.written()) {
        for (qsizetype i = pending.size() - 1; i >= 0; --i) {
            writer.takeBack(pending[i], result.strays);
        }
        return result;
    }
    for (const Slot& slot : pending) {
        writer.removeOld(slot, result.strays);
    }
    return result;
}

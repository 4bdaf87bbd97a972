// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <sys/stat.h>

// Which file a name led to: the same device and inode is the same file, whatever its name
// and however many links lead to it.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;

    static FileIdentity of(const struct stat& info) {
        return {quint64(info.st_dev), quint64(info.st_ino)};
    }
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A regular file opened by its exact name (see FilePath), without blocking: a FIFO would wait
// for a writer. Anything that is not a regular file is not opened at all.
class RegularFile {
public:
    RegularFile(const QString& path, int flags);
    // `name` is the file's name as the system takes it, bytes and all; a relative name is
    // taken in the open folder `folder` (AT_FDCWD: the current folder).
    RegularFile(const QByteArray& name, int flags);
    RegularFile(int folder, const QByteArray& name, int flags);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    FileIdentity identity() const { return FileIdentity::of(m_info); }
    // The size as it is now, or -1.
    qint64 currentSize() const;

    // Every byte, or false with errno set; a write cut short (a full disk, a file-size limit)
    // is a failure.
    static bool writeAll(int fd, QByteArrayView bytes, qint64 offset);
    static bool readAll(int fd, char* into, qint64 length, qint64 offset);
    // A new, empty file in the open folder `folder`, readable and writable by its owner alone,
    // under a short name of its own (a target's name may already use all 255 bytes a name can
    // have), given in `name`. Returns its descriptor, or -1 with errno set.
    static int createTemporary(int folder, QByteArray& name);
    // The mode a new file gets from the user's umask.
    static mode_t newFileMode();

private:
    int m_fd = -1;
    struct stat m_info {};
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileReplacer.h"
#include "RegularFile.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The add-in file held in memory exactly as it lies on disk, with the path it came from.
// The bytes, the path and the size always change together: a failed open leaves all three.
// Paths are taken exactly as FilePath reads them, so bytes that are not UTF-8 reach their file.
class AddinImage {
public:
    static constexpr qint64 kMaxFileSize = 9000;
    static constexpr qint64 kPaddedSize = 8192;
    static constexpr char kPadByte = char(0xFF);
    // A part of an add-in (its code, an unpacked folder's header.json) is read up to the Z80's
    // whole address space.
    static constexpr qint64 kMaxPartSize = 65536;

    // InexactName: the path may stand for another file than the one chosen (a name that is
    // not UTF-8, read by Qt; see FilePath::namesExactly); nothing is opened.
    enum class ProbeOutcome { Ok, Missing, NotRegularFile, TooLong, InexactName };
    struct Probe {
        ProbeOutcome outcome = ProbeOutcome::Missing;
        qint64 size = 0;
        int error = 0; // why the file could not be found, when Missing (ENOENT, ELOOP, ...)
    };
    // Changed: the file is not the one measured any more (another size, or another file at
    // the path); whatever was written is taken back.
    enum class PadOutcome { Padded, Changed, Failed };
    using WriteOutcome = FileReplacer::Outcome;
    using WriteResult = FileReplacer::Result;

    // What the file at `path` is, without opening it (so a FIFO never blocks).
    static Probe probe(const QString& path);
    static qint64 paddingFor(qint64 size) { return size < kPaddedSize ? kPaddedSize - size : 0; }

    // Appends 0xFF bytes to the file on disk, measured as `size` bytes (and, when given, as
    // the file `measured`), up to 8192 bytes. The padding goes on only where that file still
    // ends, so bytes another program appended meanwhile are never overwritten; a failed or
    // misplaced padding is removed again. `error`, when given, receives the system's error
    // number of a failed write.
    static PadOutcome pad(const QString& path, qint64 size,
                          std::optional<FileIdentity> measured = std::nullopt,
                          int* error = nullptr);
    static bool padOnDisk(const QString& path, qint64 size, int* error = nullptr) {
        return pad(path, size, std::nullopt, error) == PadOutcome::Padded;
    }
    // Exactly `size` bytes from the start of a regular file, or nothing; `identity`, when
    // given, receives which file was read, and `error` the system's error number when nothing
    // was (0 for a size out of range).
    static std::optional<QByteArray> readFile(const QString& path, qint64 size,
                                              FileIdentity* identity = nullptr,
                                              int* error = nullptr);
    // Replaces the file by `bytes` through a temporary file beside it, keeping its owner,
    // group, mode and hard links (see FileReplacer).
    static WriteResult write(const QString& path, const QByteArray& bytes) {
        return FileReplacer::replace(path, bytes);
    }
    static bool writeFile(const QString& path, const QByteArray& bytes) {
        return write(path, bytes).written();
    }

    AddinImage() = default;
    AddinImage(QByteArray bytes, QString path)
        : m_bytes(std::move(bytes)), m_path(std::move(path)) {}

    // An image made in memory, with no file yet: loaded, with an empty path until it is saved.
    static AddinImage unsaved(QByteArray bytes) {
        AddinImage image(std::move(bytes), QString());
        image.m_unsaved = true;
        return image;
    }

    bool isLoaded() const { return m_unsaved || !m_path.isEmpty(); }
    const QByteArray& bytes() const { return m_bytes; }
    QByteArray& bytes() { return m_bytes; }
    const QString& path() const { return m_path; }
    // The image's length: what the file holds once it has been opened (and padded).
    int fileSize() const { return int(m_bytes.size()); }

    WriteResult saveTo(const QString& path) const { return write(path, m_bytes); }
    void setPath(const QString& path) { m_path = path; }

private:
    QByteArray m_bytes;
    QString m_path;
    bool m_unsaved = false;
};

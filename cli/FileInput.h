// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"
#include "AddinImage.h"
#include "RegularFile.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <ostream>

// An add-in file named on the command line, read whole as Open reads it: regular files of at
// most 9000 bytes only, never padded. The name is taken byte for byte (see FilePath).
struct FileInput {
    static constexpr qint64 kMaxPartSize = AddinImage::kMaxPartSize;

    QByteArray bytes;
    qint64 fileSize = 0; // the file's length; more than the bytes read for a long file
    int exitCode = 0;
    QString error;                        // one line naming the file and what is wrong with it
    std::optional<FileIdentity> identity; // the file that was read
    AddinHeader header;                   // parsed by readAddin() only

    bool ok() const { return error.isEmpty(); }
    // Writes the error to `err`; returns the exit code.
    int fail(std::ostream& err) const;

    static FileInput read(const QString& path);
    // read(), then the header parsed; a file that is not a complete add-in is refused with the
    // not-an-add-in exit code.
    static FileInput readAddin(const QString& path);
    // For `check`: read(), but a file over 9000 bytes is not refused; its first 9000 bytes
    // are read.
    static FileInput readForCheck(const QString& path);
    // Any regular file of at most `most` bytes, read whole.
    static FileInput readPart(const QString& path, qint64 most = kMaxPartSize);
};

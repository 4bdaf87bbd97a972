// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"
#include "RegularFile.h"

#include <QByteArray>
#include <QString>

#include <optional>

// An add-in file named on the command line, read whole as Open reads it: regular files of at
// most 9000 bytes only, never padded. The name is taken byte for byte (see FilePath).
struct FileInput {
    QByteArray bytes;
    int exitCode = 0;
    QString error;                        // one line naming the file and what is wrong with it
    std::optional<FileIdentity> identity; // the file that was read

    bool ok() const { return error.isEmpty(); }

    static FileInput read(const QString& path);
    // read(), then the header parsed into `header`; a file that is not a complete add-in is
    // refused with the not-an-add-in exit code.
    static FileInput readAddin(const QString& path, AddinHeader& header);
};

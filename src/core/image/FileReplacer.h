// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RegularFile.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// Replaces a file's bytes so that a failed write leaves the old file intact and a successful
// one leaves it the same file to everyone else: same owner, group and mode, same hard links.
class FileReplacer {
public:
    enum class Outcome {
        Written,
        NotRegularFile, // the path leads to a device, FIFO, socket or folder: left alone
        IsInput,        // the path leads to the file given as the input: left alone
        InexactName,    // the path may name another file (FilePath::namesExactly)
        Failed,         // anything else: no permission, no room, a size limit, a link loop
    };

    // Writes `bytes` to `path`. A symbolic link (or a chain of them) stays a link; the file
    // at its end gets the bytes. An existing file that may not be written is refused, even
    // where its folder would allow replacing it. Nothing is written unless the path leads to
    // a regular file or to nothing, and never to the file `input` identifies.
    static Outcome replace(const QString& path, QByteArrayView bytes,
                           std::optional<FileIdentity> input = std::nullopt);
};

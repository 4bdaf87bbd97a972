// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RegularFile.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// Replaces a file's bytes so that a failed write leaves the old file intact and a successful
// one leaves it the same file to everyone else: same owner, group and mode, same hard links.
// Everything happens relative to the open folder of the file, so a name of up to 255 bytes, a
// path of up to 4095 bytes and a current folder of any depth all work.
class FileReplacer {
public:
    enum class Outcome {
        Written,
        NotRegularFile, // the path leads to a device, FIFO, socket or folder: left alone
        IsInput,        // the path leads to the file given as the input: left alone
        InexactName,    // the path may name another file (FilePath::namesExactly)
        Failed,         // anything else: no permission, no room, a size limit, a link loop
    };

    struct Result {
        Outcome outcome = Outcome::Failed;
        int error = 0; // the system's error number of the step that failed, when Failed

        bool written() const { return outcome == Outcome::Written; }
        explicit operator bool() const { return written(); }
        // The system's words for a failure ("No space left on device"); empty when the
        // outcome is not Failed or no system call gave a reason.
        QString reason() const;
    };

    // Writes `bytes` to `path`. A symbolic link (or a chain of them) stays a link; the file
    // at its end gets the bytes. An existing file that may not be written is refused, even
    // where its folder would allow replacing it. Nothing is written unless the path leads to
    // a regular file or to nothing, and never to the file `input` identifies.
    static Result replace(const QString& path, QByteArrayView bytes,
                          std::optional<FileIdentity> input = std::nullopt);
};

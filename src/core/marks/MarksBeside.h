// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinMarks.h"
#include "FileReplacer.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// The marks file beside an add-in (MarksFile::besidePath): read when the add-in is opened, and
// written with the add-in, so that the two on disk always belong together.
namespace MarksBeside {

struct Found {
    enum class Outcome {
        None,    // there is no marks file
        Read,    // read whole; `marks` placed on the image
        Refused, // a bad line, or a file that cannot be read: `problem` says why
    };
    Outcome outcome = Outcome::None;
    AddinMarks marks;
    QString problem; // "line 4: ...", "it cannot be read: Permission denied"
    int unplaced = 0;
};

// The marks of the file at `path`, placed on `image` (whose first code byte is at offset
// `codeStart`).
Found read(const QString& path, QByteArrayView image, int codeStart);

// The bytes of the regular file at `path`, of at most MarksFile::kMostBytes; nothing when there
// is none (`error` ENOENT) or it cannot be read (`error` says why, 0 for too long).
std::optional<QByteArray> readBytes(const QString& path, int& error);

// Writes the add-in `bytes` to `path` and its marks file beside it, all or nothing: the marks
// file is written first and put back as it was when the add-in cannot be written. `marks` is
// the marks file's text; empty for no marks, which removes a marks file that is there once the
// add-in is written; nothing to leave the marks file as it is. `input` as FileReplacer takes it.
// `marksFailed`, when given, says whether a failure is the marks file's.
FileReplacer::Result save(const QString& path, QByteArrayView bytes,
                          const std::optional<QByteArray>& marks,
                          std::optional<FileIdentity> input = std::nullopt,
                          bool* marksFailed = nullptr);

} // namespace MarksBeside

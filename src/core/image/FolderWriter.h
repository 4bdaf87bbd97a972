// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RegularFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Writes a set of files into one folder, all or nothing. Every file is first written whole and
// synced under a temporary name in the folder; only then does each take its name, by a rename.
// A name that is taken is replaced itself: a symbolic link (dangling or not) or one of several
// hard links is never written through, so nothing outside the folder changes. The old entries
// wait under temporary names until the last rename has succeeded, so that a failure at any
// step puts every name back as it was. The files of one set get one modification time, given
// through their descriptors before they take their names: a time set by name afterwards would
// go to whatever another program put in a file's place meanwhile.
class FolderWriter {
public:
    struct File {
        QString name; // a plain name in the folder
        QByteArray bytes;
    };

    enum class Outcome {
        Written,
        Exists,         // the name is taken, and replacing was not asked for
        NotRegularFile, // a device, FIFO, socket or folder has the name: left alone
        IsInput,        // the name is, or links to, the file given as the input
        Failed,         // the system refused a step; `error` says why
    };

    struct Result {
        Outcome outcome = Outcome::Failed;
        QString path;  // the file (the folder, when it could not be opened) the outcome is about
        int error = 0; // the system's error number, when Failed
        // One sentence for each file that a failed undo (or, after success, a failed removal of
        // an old entry) left where it should not be; empty in all but the rarest case.
        QStringList strays;

        bool written() const { return outcome == Outcome::Written; }
        // The system's words for a failure ("File too large"); empty when it gave none.
        QString reason() const;
    };

    // Writes `files` into the existing folder `folder`. A name already there is refused unless
    // `replace`; even then a device, FIFO, socket or folder is refused, and so are the file
    // `input` identifies and a regular file its owner made read-only.
    static Result write(const QString& folder, const QList<File>& files, bool replace,
                        std::optional<FileIdentity> input);
};

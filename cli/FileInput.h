#pragma once

#include <QByteArray>
#include <QString>

// An add-in file named on the command line, read whole as Open reads it: regular files of at
// most 9000 bytes only, never padded.
struct FileInput {
    QByteArray bytes;
    int exitCode = 0;
    QString error; // one line naming the file and what is wrong with it

    bool ok() const { return error.isEmpty(); }

    static FileInput read(const QString& path);
};

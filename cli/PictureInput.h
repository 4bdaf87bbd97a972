// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <ostream>

// A picture named on the command line, made into the 160 icon bytes as the window makes a
// dropped picture: a missing or unreadable file is refused with the unreadable exit code, a
// picture of a refused size with the refused exit code.
struct PictureInput {
    QByteArray icon;
    int exitCode = 0;
    QString error; // one line naming the picture and what is wrong with it

    bool ok() const { return error.isEmpty(); }
    // Writes the error to `err`; returns the exit code.
    int fail(std::ostream& err) const;

    static PictureInput read(const QString& path);
};

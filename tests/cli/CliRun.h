// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CliMain.h"

#include <QByteArray>
#include <QStringList>

#include <sstream>

// One run of mobrin-cli in-process, with everything it printed.
struct CliRun {
    int code = -1;
    QByteArray out;
    QByteArray err;

    explicit CliRun(const QStringList& arguments) {
        std::ostringstream outStream;
        std::ostringstream errStream;
        code = CliMain::run(arguments, outStream, errStream);
        out = QByteArray::fromStdString(outStream.str());
        err = QByteArray::fromStdString(errStream.str());
    }

    // An error is exactly one line on stderr, naming the program.
    bool oneErrorLine() const {
        return err.startsWith("mobrin-cli: ") && err.endsWith('\n') && err.count('\n') == 1;
    }
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliMain.h"
#include "FilePath.h"

#include <QCoreApplication>

#include <csignal>
#include <iostream>

#include <unistd.h>

int main(int argc, char* argv[]) {
    // A write beyond the file-size limit then fails with an error the command reports,
    // instead of ending the program halfway.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    // The arguments as given, byte for byte: QCoreApplication::arguments() would turn every
    // byte of a file name that is not UTF-8 into U+FFFD and so name another file.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(FilePath::fromBytes(argv[i]));
    }
    return CliMain::runToFile(arguments, STDOUT_FILENO, std::cerr);
}

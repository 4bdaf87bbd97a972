// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <ostream>

// The whole of mobrin-cli: `arguments` are those after the program's name. Returns the exit
// code; nothing here ends the process, so tests run every command in-process.
namespace CliMain {

// The program's overview, for --help.
QString help();

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

// run() with its output on the file `outputFd` (the standard output), and every byte of it
// checked: when any could not be written, the system's reason goes to `err` and the exit code
// is 6 where it would have been 0 or 1.
int runToFile(const QStringList& arguments, int outputFd, std::ostream& err);

} // namespace CliMain

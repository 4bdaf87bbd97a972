// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <ostream>

// The whole of mobrin-cli: `arguments` are those after the program's name. Returns the exit
// code; nothing here ends the process, so tests run every command in-process.
namespace CliMain {

extern const char* const kHelp;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace CliMain

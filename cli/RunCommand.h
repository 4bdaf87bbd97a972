// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `mobrin-cli run FILE`: the add-in on the emulated Z80, its system calls answered from a file.
namespace RunCommand {

extern const CommandUsage kUsage;
int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace RunCommand

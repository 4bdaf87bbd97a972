// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `dump FILE [--strip-header]`: the hex and ASCII dump as the window shows it.
namespace DumpCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace DumpCommand

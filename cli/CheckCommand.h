// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `check FILE... [--json] [--strict]`: what the handheld and the parser need of each file, as
// findings; never writes.
namespace CheckCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace CheckCommand

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QString>
#include <QStringList>

#include <ostream>

// `disasm FILE [--all] [--base ADDRESS] [--no-labels]`: the add-in's code as Z80 instructions,
// one a line, with labels where jumps lead.
namespace DisasmCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace DisasmCommand

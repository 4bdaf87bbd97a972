// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `source FILE [-o OUT.asm]`: the whole add-in as assembler source that z80asm and pasmo
// assemble back into the same file.
namespace SourceCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace SourceCommand

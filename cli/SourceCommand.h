// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <ostream>

// `source FILE [-o OUT.asm]`: the whole add-in as assembler source that z80asm and pasmo
// assemble back into the same file.
namespace SourceCommand {

extern const char* const kHelp;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace SourceCommand

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeMap.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Small Z80 programs for the code tests, written as source and assembled by Debian's z80asm
// at $8000, and the code map's findings as short texts to compare.
namespace Z80Programs {

// The bytes of `source` assembled at $8000, or empty with `error` saying why.
QByteArray assemble(const QByteArray& source, QString* error = nullptr);
// An add-in of `code` whose word 1 is the code's length, with `tail` after the code.
QByteArray addin(const QByteArray& code, const QByteArray& tail = {});
// The map's ranges as disasm --ranges prints them: "$8000 $8004 code".
QStringList ranges(const CodeMap& map);
// The map's labels: "$8007 call+jump" (entry, call, jump, data, table, syscall).
QStringList labels(const CodeMap& map);
// Ranges written as ranges() writes them, back in file offsets of an add-in whose code
// starts at `first`.
QList<CodeRange> parsed(const QStringList& lines, int first);

} // namespace Z80Programs

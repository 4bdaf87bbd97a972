// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Z80Registers.h"

#include <QString>
#include <QStringList>

#include <optional>

// The registers as the Run window's fields show and take them, one field a register, in
// hexadecimal without a "$" as debuggers show them: "8000", "FE" for R, "1" for IM.
namespace RunRegisters {

// "AF", "BC", "DE", "HL", "AF'", "BC'", "DE'", "HL'", "IX", "IY", "SP", "PC", "I", "R", "IM",
// in the order of the indices the functions below take.
const QStringList& names();
// How many hex digits register `index` has: 4, 2 or 1.
int digits(int index);
QString text(const Z80Registers& registers, int index);
// `registers` with register `index` set from `typed`: hex digits, "$" or "0x" before them
// allowed. Nothing when `typed` is no such value; `problem` then says why in a sentence.
std::optional<Z80Registers> edited(const Z80Registers& registers, int index, const QString& typed,
                                   QString& problem);

} // namespace RunRegisters

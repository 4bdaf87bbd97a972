// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The names an author may give a label: names that Debian's z80asm and pasmo both take as a
// label and as an operand, tried against both. A letter or "_", then letters, digits and "_"
// (ASCII); not a register, condition, instruction, directive or operator of either assembler,
// in any case; and not of the generated form "L9113" unless it is the generated name of its
// own address, so that no name can stand for two places.
namespace LabelName {

// Why `name` cannot be the label at `address`, as a sentence; empty when it can.
QString problem(const QString& name, quint16 address);

} // namespace LabelName

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

// `disasm FILE [--all] [--base ADDRESS] [--no-labels]`: the add-in's code as Z80 instructions,
// one a line, with labels where jumps lead.
namespace DisasmCommand {

extern const char* const kHelp;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

// An address as "$8000", "0x8000" or "32768"; nothing unless it is one of these forms and
// fits 16 bits.
std::optional<quint16> parseAddress(const QString& text);

} // namespace DisasmCommand

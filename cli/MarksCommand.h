// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `marks FILE [--marks MARKS] [--json | --suggest]`: the author's marks beside the code map's
// own findings, or the findings as a marks file to start from.
namespace MarksCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace MarksCommand

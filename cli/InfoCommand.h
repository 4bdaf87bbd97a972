// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `info FILE [--json] [--hex|--dec]`: the header facts the window shows, one "key: value"
// line each or one JSON object.
namespace InfoCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace InfoCommand

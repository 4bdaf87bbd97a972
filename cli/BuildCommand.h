// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `build --code CODE.bin --name TEXT ... -o OUT`, `build --from DIR -o OUT`: a new add-in from its
// code and header fields, or from an unpacked folder.
namespace BuildCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace BuildCommand

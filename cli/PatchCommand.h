// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `patch FILE [--name TEXT] [--description TEXT] [--icon PICTURE] [-o OUT]`: the window's name
// and description patch, and a new icon from a picture, written atomically in place or to OUT.
namespace PatchCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace PatchCommand

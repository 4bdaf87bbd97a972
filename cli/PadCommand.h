// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `pad FILE`: fills a short add-in up to 8192 bytes with 0xFF on disk, as Open offers to.
namespace PadCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace PadCommand

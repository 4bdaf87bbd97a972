// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `unpack FILE -o DIR [--force]`: the add-in's parts as files an author can edit (see
// UnpackedFolder).
namespace UnpackCommand {

extern const CommandUsage kUsage;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace UnpackCommand

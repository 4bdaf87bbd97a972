// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"

#include <QStringList>

#include <ostream>

// `icon FILE`: the icon-code window's text; `icon FILE --png OUT.png [--scale N]`: the icon as
// a picture; `icon --from PICTURE`: the way back, a picture's icon-code text.
namespace IconCommand {

extern const CommandUsage kUsage;

constexpr int kMaxScale = 32;

int run(const QStringList& arguments, std::ostream& out, std::ostream& err);

} // namespace IconCommand

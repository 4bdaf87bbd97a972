// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinHeader.h"

#include <QString>

// Why a parsed header cannot serve a command, in the window's own words; empty when it can.
namespace HeaderCheck {

// No signature, or a header that ends before it is complete.
QString damage(const AddinHeader& header);
// damage(), or a complete header whose class type is not ADDIN (no name, words or icon).
QString notAddin(const AddinHeader& header);

} // namespace HeaderCheck

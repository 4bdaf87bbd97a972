// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QStringList>

// The dump as printed lines: one visual line of the window each, made of the address column's
// entry, the hex pane's 48 characters and the ASCII pane's 16, two spaces apart. The last line
// keeps the ASCII column in place by padding its shorter hex part with spaces.
namespace DumpLines {

QStringList of(QByteArrayView range);

} // namespace DumpLines

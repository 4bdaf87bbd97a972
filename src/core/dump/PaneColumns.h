// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

// The two columns of the dump: the hex pane, three characters a byte (two digits and a
// space), and the ASCII pane, one character a byte, 16 bytes to a line in both.
namespace PaneColumns {

enum class Pane { Hex, Ascii };

int charsPerByte(Pane pane);
int charsPerLine(Pane pane);
// The bytes a selection of `length` characters from `start` stands for: a start inside a
// group counts from that group's byte, and the length in bytes is the length in characters
// divided by the characters a byte, rounded up.
ByteRange bytesOf(Pane pane, int start, int length);

} // namespace PaneColumns

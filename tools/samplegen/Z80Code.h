// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Code bytes that look like a Z80 program in a dump: real opcodes with operands, grouped into
// routines that end in RET. Nothing runs them; they only have to look and count right.
namespace Z80Code {

// Exactly `length` bytes, the same for the same `seed` on every machine. The last byte is
// always RET (0xC9), never 0xFF, so an approximate code size finds the code's true end.
// Addresses in operands point into the `length` bytes loaded at `loadAddress`.
QByteArray generate(int length, quint32 seed, quint16 loadAddress);

} // namespace Z80Code

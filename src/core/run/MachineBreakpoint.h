// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// Where a run stops: before the instruction at an address runs, or after an instruction that
// read or wrote a memory address or a port. A port breakpoint up to $FF matches the port's low
// byte whatever the high byte (an 8-bit port, as `out ($12),a` puts A on the high byte); a
// larger one matches the whole 16-bit port address.
struct MachineBreakpoint {
    enum class Kind : quint8 { Execute, MemoryRead, MemoryWrite, PortIn, PortOut };

    Kind kind = Kind::Execute;
    quint16 address = 0;

    bool operator==(const MachineBreakpoint&) const = default;
};

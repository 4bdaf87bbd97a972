// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The Z80's registers as the Run window shows and edits them, and as the journal keeps them
// for each step. The hidden MEMPTR is not among them: z80ex does not expose it, and it shows
// only in the undocumented flag bits 3 and 5 after BIT n,(HL).
struct Z80Registers {
    quint16 af = 0;
    quint16 bc = 0;
    quint16 de = 0;
    quint16 hl = 0;
    quint16 af2 = 0; // the second set: AF', BC', DE', HL'
    quint16 bc2 = 0;
    quint16 de2 = 0;
    quint16 hl2 = 0;
    quint16 ix = 0;
    quint16 iy = 0;
    quint16 sp = 0;
    quint16 pc = 0;
    quint8 i = 0;
    quint8 r = 0;  // all eight bits; the Z80 counts only the low seven
    quint8 im = 0; // interrupt mode 0, 1 or 2
    bool iff1 = false;
    bool iff2 = false;

    // The flags in F that the window shows and edits; bits 3 and 5 copy bits of results.
    enum Flag : quint8 {
        Carry = 0x01,
        Subtract = 0x02,
        ParityOverflow = 0x04,
        HalfCarry = 0x10,
        Zero = 0x40,
        Sign = 0x80,
    };

    quint8 a() const { return quint8(af >> 8); }
    quint8 f() const { return quint8(af); }
    bool flag(Flag flag) const { return (af & flag) != 0; }
    void setFlag(Flag flag, bool on) { af = quint16(on ? af | flag : af & ~flag); }

    bool operator==(const Z80Registers&) const = default;
};

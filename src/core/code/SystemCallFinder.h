// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeMap.h"
#include "CodeTracer.h"
#include "Z80Values.h"

#include <QList>
#include <QMap>

#include <optional>
#include <vector>

// The system calls an add-in's code makes with a number the code shows: an `rst $10` after a
// constant stored at $C000, and a call of a system-call routine (one that stores at $C000 what
// its caller gave it, then performs `rst $10`) that passes a constant.
class SystemCallFinder {
public:
    // `starts` are the traced instructions in order; `merged` says, per byte of the listed
    // range, where a jump or call leads, so that other paths meet there.
    SystemCallFinder(const CodeTracer& tracer, const std::vector<int>& starts,
                     const std::vector<bool>& merged);

    // In the order of their offsets.
    QList<SystemCallSite> sites() const { return m_sites; }
    // The routines' entries, in order.
    QList<int> routines() const { return m_routines.keys(); }

private:
    // Where a routine takes the call's number and the extended call's own number from.
    struct Source {
        Z80Values::Value number;
        Z80Values::Value extended;
    };

    std::optional<Source> sourceOf(int routine) const;
    // The values the straight-line instructions before instruction `index` leave.
    Z80Values before(int index) const;
    void addSite(int offset, Z80Values::Value number, Z80Values::Value extended);

    const CodeTracer& m_tracer;
    const std::vector<int>& m_starts;
    const std::vector<bool>& m_merged;
    QMap<int, Source> m_routines;
    QList<SystemCallSite> m_sites;
};

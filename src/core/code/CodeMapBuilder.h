// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeEvidence.h"
#include "CodeMap.h"
#include "CodeTracer.h"
#include "GapShaper.h"

#include <optional>
#include <vector>

// Works out a CodeMap: follows the code from its entry (CodeTracer), widens it with the
// evidence the code gives (constants that point at code, tables of addresses or of jumps), then
// with code that decodes cleanly where nothing else fits (GapShaper), shapes what is left as
// data, and collects the labels, the references and the system calls.
class CodeMapBuilder {
public:
    CodeMapBuilder(QByteArrayView image, int first, int codeEnd, int end, quint16 base);

    CodeMap build(const CodeMarks& marks);

private:
    // What the new uses of addresses show; whether code was found.
    bool weighUses();
    bool weighConstant(const CodeTracer::Use& use);
    // Whether the constant that the instruction at `from` loads is soon jumped to (JP (HL)),
    // as compilers do with a `switch` table of jumps.
    bool jumpedThrough(int from) const;
    // The words from `at` on that are addresses of code or data: an address table.
    int pointerCount(int at, int limit) const;
    CodeMap result(const CodeMarks& marks) const;

    CodeTracer m_tracer;
    CodeEvidence m_evidence;
    GapShaper m_gaps;
    size_t m_weighed = 0;
};

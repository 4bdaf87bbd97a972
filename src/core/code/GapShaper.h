// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeEvidence.h"
#include "CodeTracer.h"

#include <optional>
#include <vector>

// Shapes what the trace of the code has not reached: text first, whose characters decode as
// instructions too; then code that decodes cleanly between code (a routine nothing names, at
// the start of a gap or, backwards, before the code that ends it); what is left is data.
class GapShaper {
public:
    GapShaper(CodeTracer& tracer, CodeEvidence& evidence);

    // Marks the text and seeds the code found; whether code was found.
    bool shapeGaps();

private:
    bool shapeSegment(int start, int stop);
    // The first byte from which instructions of the kind compilers write reach `end` exactly,
    // ending a flow on the way: a routine (or several) that nothing names, before `end`.
    std::optional<int> codeEndingAt(int start, int end);

    CodeTracer& m_tracer;
    CodeEvidence& m_evidence;
    std::vector<bool> m_tried;   // code looked for here and not found
    std::vector<bool> m_reaches; // codeEndingAt()'s work
    std::vector<bool> m_ends;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeTracer.h"
#include "Z80Step.h"

#include <optional>
#include <vector>

// What the code map weighs where the trace has not decided: which bytes the code names as code
// or as data, which a word of data points at, and whether bytes decode as the code compilers
// write.
class CodeEvidence {
public:
    explicit CodeEvidence(const CodeTracer& tracer);

    // Takes in the uses of addresses the trace found since the last call.
    void noteTargets();
    // Whether a use names the byte at `offset`: as a jump's or call's target, as data, at all.
    bool namedAsCode(int offset) const;
    bool namedAsData(int offset) const;
    bool named(int offset) const;
    // Whether a word of data, anywhere the trace has not found code, holds its address.
    bool pointedAt(int offset);

    // The first byte from `at` on that something else has claimed.
    int unknownEnd(int at) const;
    // Where instructions of the kind compilers write, decoded from `at`, end the flow before
    // `limit`, or with `intoCode` run into known code there.
    std::optional<int> plausibleCodeEnd(int at, int limit, bool intoCode) const;
    // Whether `step` at `at` is an instruction compilers write, leading where code may start;
    // `strict` amid data: into known code only where other code leads too.
    bool likelyHere(int at, const Z80Step& step, bool strict) const;
    // RET, JP (HL), or a jump to known code (`strict`: where other code leads too) or out of
    // the add-in.
    bool closesFlow(const Z80Step& step, bool strict) const;

private:
    void notePointedAt();

    const CodeTracer& m_tracer;
    std::vector<quint8> m_named;   // per byte: some use names it as code (1) or data (2)
    size_t m_noted = size_t(-1);   // the uses noteTargets() has taken in
    std::vector<bool> m_pointedAt; // per byte: a word of data holds its address
    bool m_pointedAtKnown = false;
};

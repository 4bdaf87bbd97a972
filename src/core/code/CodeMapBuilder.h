// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeMap.h"
#include "CodeTracer.h"

#include <optional>
#include <vector>

// Works out a CodeMap: follows the code from its entry (CodeTracer), widens it with the
// evidence the code gives (constants that point at code, tables of addresses or of jumps, code
// that decodes cleanly where nothing else fits), shapes what is left as data, and collects the
// labels, the references and the system calls.
class CodeMapBuilder {
public:
    CodeMapBuilder(QByteArrayView image, int first, int codeEnd, int end, quint16 base);

    CodeMap build(const QList<CodeRange>& given);

private:
    // What the new uses of addresses show; whether code was found.
    bool weighUses();
    bool weighConstant(const CodeTracer::Use& use);
    // Whether the constant that the instruction at `from` loads is soon jumped to (JP (HL)),
    // as compilers do with a `switch` table of jumps.
    bool jumpedThrough(int from) const;
    // The words from `at` on that are addresses of code or data: an address table.
    int pointerCount(int at, int limit) const;
    // Where instructions of the kind compilers write, decoded from `at`, end the flow before
    // `limit`, or with `intoCode` run into known code there.
    std::optional<int> plausibleCodeEnd(int at, int limit, bool intoCode) const;
    // The first byte from `at` on that something else has claimed.
    int unknownEnd(int at) const;
    // Text, code that decodes cleanly and data in what nothing reached; whether code was found.
    bool shapeGaps();
    bool shapeSegment(int start, int stop);
    // The first byte from which instructions of the kind compilers write reach `end` exactly,
    // ending a flow on the way: a routine (or several) that nothing names, before `end`.
    std::optional<int> codeEndingAt(int start, int end);
    // Whether `step` at `at` is an instruction compilers write, leading where code may start;
    // `strict` amid data: into known code only where other code leads too.
    bool likelyHere(int at, const Z80Step& step, bool strict) const;
    // RET, JP (HL), or a jump to known code (`strict`: where other code leads too) or out of
    // the add-in.
    bool closesFlow(const Z80Step& step, bool strict) const;
    bool namedAsCode(int offset) const;
    // What the uses name (m_named), once for each new use.
    void noteTargets();
    // Which bytes a word of data points at (m_pointedAt), once after each noteTargets().
    void notePointedAt();
    CodeMap result(const QList<CodeRange>& given) const;

    CodeTracer m_tracer;
    size_t m_weighed = 0;
    std::vector<bool> m_tried;     // code looked for here and not found
    std::vector<quint8> m_named;   // per byte: some use names it as code (1) or data (2)
    size_t m_noted = size_t(-1);   // the uses noteTargets() has seen
    std::vector<bool> m_pointedAt; // per byte: a word of data holds its address
    bool m_pointedAtKnown = false;
    std::vector<bool> m_reaches; // codeEndingAt()'s work
    std::vector<bool> m_ends;
};

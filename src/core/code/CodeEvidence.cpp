// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeEvidence.h"

#include <algorithm>

namespace {

using Kind = CodeReference::Kind;
using State = CodeTracer::State;

// How many instructions a candidate for code may take to end its flow.
constexpr int kMostPlausibleInstructions = 64;
constexpr quint8 kNamedAsCode = 1;
constexpr quint8 kNamedAsData = 2;

quint16 wordAt(QByteArrayView image, int at) {
    return quint16(quint8(image[at]) | quint8(image[at + 1]) << 8);
}

} // namespace

CodeEvidence::CodeEvidence(const CodeTracer& tracer)
    : m_tracer(tracer), m_named(size_t(tracer.end() - tracer.first()), 0),
      m_pointedAt(size_t(tracer.end() - tracer.first()), false) {}

void CodeEvidence::noteTargets() {
    if (m_noted == m_tracer.uses().size()) {
        return;
    }
    m_noted = m_tracer.uses().size();
    std::fill(m_named.begin(), m_named.end(), 0);
    for (const CodeTracer::Use& use : m_tracer.uses()) {
        const bool code = use.kind == Kind::Jump || use.kind == Kind::Call;
        m_named[size_t(use.to - m_tracer.first())] |= code ? kNamedAsCode : kNamedAsData;
    }
    m_pointedAtKnown = false;
}

bool CodeEvidence::pointedAt(int offset) {
    notePointedAt();
    return m_pointedAt[size_t(offset - m_tracer.first())];
}

void CodeEvidence::notePointedAt() {
    if (m_pointedAtKnown) {
        return;
    }
    m_pointedAtKnown = true;
    std::fill(m_pointedAt.begin(), m_pointedAt.end(), false);
    const QByteArrayView image = m_tracer.image();
    for (int at = m_tracer.first(); at + 1 < m_tracer.codeEnd(); ++at) {
        if (m_tracer.state(at) == State::Start || m_tracer.state(at) == State::Inside ||
            m_tracer.state(at + 1) == State::Start || m_tracer.state(at + 1) == State::Inside) {
            continue;
        }
        if (const auto to = m_tracer.offsetOf(wordAt(image, at)); to && m_tracer.inCode(*to)) {
            m_pointedAt[size_t(*to - m_tracer.first())] = true;
        }
    }
}

int CodeEvidence::unknownEnd(int at) const {
    int offset = at;
    while (offset < m_tracer.codeEnd() && m_tracer.state(offset) == State::Unknown) {
        ++offset;
    }
    return offset;
}

std::optional<int> CodeEvidence::plausibleCodeEnd(int at, int limit, bool intoCode) const {
    int offset = at;
    for (int count = 0; offset < limit && count < kMostPlausibleInstructions; ++count) {
        const Z80Step step = m_tracer.stepAt(offset);
        if (!likelyHere(offset, step, false) || offset + step.length > limit) {
            return std::nullopt;
        }
        offset += step.length;
        if (step.endsFlow()) {
            return offset;
        }
    }
    // Between known code, running on into it is as good as ending.
    if (intoCode && offset == limit && m_tracer.inCode(limit) &&
        m_tracer.state(limit) == State::Start) {
        return offset;
    }
    return std::nullopt;
}

bool CodeEvidence::likelyHere(int at, const Z80Step& step, bool strict) const {
    if (!step.likely) {
        return false;
    }
    if (!step.hasTarget()) {
        return true;
    }
    const auto target = m_tracer.offsetOf(step.operand);
    if (!target || !m_tracer.inCode(*target)) {
        return true;
    }
    // Compilers jump neither to the next instruction nor into an instruction or data; amid
    // data, into known code only where other code leads too.
    const State state = m_tracer.state(*target);
    return *target != at + step.length && state != State::Inside && state != State::Data &&
           (!strict || state != State::Start || namedAsCode(*target));
}

bool CodeEvidence::namedAsData(int offset) const {
    return (m_named[size_t(offset - m_tracer.first())] & kNamedAsData) != 0;
}

bool CodeEvidence::named(int offset) const {
    return m_named[size_t(offset - m_tracer.first())] != 0;
}

bool CodeEvidence::namedAsCode(int offset) const {
    return (m_named[size_t(offset - m_tracer.first())] & kNamedAsCode) != 0;
}

bool CodeEvidence::closesFlow(const Z80Step& step, bool strict) const {
    if (step.flow == Z80Step::Flow::Return || step.flow == Z80Step::Flow::IndirectJump) {
        return true;
    }
    if (step.flow != Z80Step::Flow::Jump) {
        return false;
    }
    const auto target = m_tracer.offsetOf(step.operand);
    return !target || !m_tracer.inCode(*target) ||
           (m_tracer.state(*target) == State::Start && (!strict || namedAsCode(*target)));
}

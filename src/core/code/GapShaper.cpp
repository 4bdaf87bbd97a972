// SPDX-License-Identifier: GPL-3.0-or-later
#include "GapShaper.h"

#include "TextRun.h"

namespace {

using State = CodeTracer::State;

} // namespace

GapShaper::GapShaper(CodeTracer& tracer, CodeEvidence& evidence)
    : m_tracer(tracer), m_evidence(evidence),
      m_tried(size_t(tracer.end() - tracer.first()), false) {}

bool GapShaper::shapeGaps() {
    m_evidence.noteTargets();
    const QByteArrayView image = m_tracer.image();
    bool found = false;
    int offset = m_tracer.first();
    while (offset < m_tracer.codeEnd()) {
        if (m_tracer.state(offset) != State::Unknown) {
            ++offset;
            continue;
        }
        const int gapEnd = m_evidence.unknownEnd(offset);
        // Text first: its characters decode as instructions too.
        int segment = offset;
        for (int at = offset; at < gapEnd;) {
            if (!TextRun::printable(image[at])) {
                ++at;
                continue;
            }
            const bool named = m_evidence.named(at);
            const int text = TextRun::endAt(image, at, gapEnd, named);
            if (text <= at) {
                // A text starts at none of these characters if not at the first.
                at = TextRun::printableEnd(image, at, gapEnd);
                continue;
            }
            found = shapeSegment(segment, at) || found;
            m_tracer.markData(at, text, CodeKind::Text, !named);
            segment = at = text;
        }
        found = shapeSegment(segment, gapEnd) || found;
        offset = gapEnd;
    }
    return found;
}

bool GapShaper::shapeSegment(int start, int stop) {
    bool found = false;
    int dataStart = start;
    int at = start;
    while (at < stop) {
        const auto index = size_t(at - m_tracer.first());
        if (!m_tried[index] && !m_evidence.namedAsData(at)) {
            m_tried[index] = true;
            if (const auto end = m_evidence.plausibleCodeEnd(at, stop, true)) {
                m_tracer.seed(at);
                found = true;
                dataStart = at = *end;
                continue;
            }
        }
        // Data, up to the next byte something names.
        do {
            ++at;
        } while (at < stop && !m_evidence.named(at));
    }
    // Code that nothing names may still end the data: routines only a table elsewhere leads
    // to, each ending its flow where the next begins.
    for (int end = stop; end > dataStart;) {
        const auto routine = codeEndingAt(dataStart, end);
        if (!routine) {
            break;
        }
        m_tracer.seed(*routine);
        found = true;
        end = *routine;
    }
    return found;
}

std::optional<int> GapShaper::codeEndingAt(int start, int end) {
    // Backwards: whether the instructions from each byte on reach `end` exactly, and whether
    // one of them ends a flow.
    const auto size = size_t(end - start);
    m_reaches.assign(size + 1, false);
    m_ends.assign(size + 1, false);
    const bool intoCode = m_tracer.inCode(end) && m_tracer.state(end) == State::Start;
    std::optional<int> earliest;
    for (int at = end - 1; at >= start; --at) {
        const auto index = size_t(at - start);
        if (m_evidence.namedAsData(at)) {
            continue;
        }
        const Z80Step step = m_tracer.stepAt(at);
        const int next = at + step.length;
        if (!m_evidence.likelyHere(at, step, true) || next > end) {
            continue;
        }
        const bool ends = m_evidence.closesFlow(step, true);
        const bool reaches = next == end ? intoCode || ends : m_reaches[size_t(next - start)];
        m_reaches[index] = reaches;
        m_ends[index] = ends || (next < end && m_ends[size_t(next - start)]);
        if (reaches && m_ends[index]) {
            earliest = at;
        }
    }
    // Data before a routine may decode as instructions that run into it: where a word of data
    // holds the address of one that reaches the end, the routine starts there.
    for (int at = start; at < end; ++at) {
        if (m_reaches[size_t(at - start)] && m_evidence.pointedAt(at)) {
            return at;
        }
    }
    return earliest;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeMapBuilder.h"

#include "SystemCallFinder.h"
#include "TextRun.h"

#include <algorithm>
#include <numeric>

namespace {

using Kind = CodeReference::Kind;
using State = CodeTracer::State;

// Rounds of evidence and tracing; each finds less than the one before.
constexpr int kMostRounds = 8;
// How many instructions after loading a table's address a compiler jumps through it.
constexpr int kJumpTableReach = 5;
constexpr quint8 kJumpOpcode = 0xC3;
constexpr quint8 kJumpThroughHl = 0xE9;

quint16 wordAt(QByteArrayView image, int at) {
    return quint16(quint8(image[at]) | quint8(image[at + 1]) << 8);
}

} // namespace

CodeMapBuilder::CodeMapBuilder(QByteArrayView image, int first, int codeEnd, int end, quint16 base)
    : m_tracer(image, first, codeEnd, end, base), m_evidence(m_tracer),
      m_gaps(m_tracer, m_evidence) {}

CodeMap CodeMapBuilder::build(const CodeMarks& marks) {
    for (const CodeRange& range : marks.kinds) {
        if (range.kind != CodeKind::Code) {
            m_tracer.markData(range.start, range.end, range.kind);
        }
    }
    m_tracer.seed(m_tracer.first());
    m_tracer.trace();
    // Code an author gave is followed after the code from the entry, as the analysis follows
    // what it finds: a range given far off must not claim the entry's bytes first.
    for (const CodeRange& range : marks.kinds) {
        if (range.kind == CodeKind::Code) {
            m_tracer.giveCode(range.start, range.end);
        }
    }
    m_tracer.trace();
    for (int round = 0; round < kMostRounds; ++round) {
        if (weighUses() || m_gaps.shapeGaps()) {
            m_tracer.trace();
        } else {
            break;
        }
    }
    return result(marks);
}

bool CodeMapBuilder::weighUses() {
    m_evidence.noteTargets();
    const std::vector<CodeTracer::Use>& uses = m_tracer.uses();
    const size_t weighed = m_weighed;
    m_weighed = uses.size();
    // The data read and written first: a table of addresses may point at it.
    for (size_t i = weighed; i < m_weighed; ++i) {
        const CodeTracer::Use use = uses[i];
        if ((use.kind == Kind::Read || use.kind == Kind::Write) && m_tracer.inCode(use.to) &&
            m_tracer.state(use.to) == State::Unknown) {
            const int stop = std::min(use.to + (use.word ? 2 : 1), m_evidence.unknownEnd(use.to));
            m_tracer.markData(use.to, stop, use.word ? CodeKind::Words : CodeKind::Bytes);
        }
    }
    bool found = false;
    for (size_t i = weighed; i < m_weighed; ++i) {
        // A copy: weighing adds uses.
        const CodeTracer::Use use = m_tracer.uses()[i];
        if (use.kind == Kind::Pointer && m_tracer.inCode(use.to) &&
            m_tracer.state(use.to) == State::Unknown && m_tracer.state(use.from) == State::Start) {
            found = weighConstant(use) || found;
        }
    }
    return found;
}

bool CodeMapBuilder::weighConstant(const CodeTracer::Use& use) {
    const QByteArrayView image = m_tracer.image();
    const int target = use.to;
    const int limit = m_evidence.unknownEnd(target);
    if (const int text = TextRun::endAt(image, target, limit, true); text > target) {
        m_tracer.markData(target, text, CodeKind::Text);
        return false;
    }
    if (jumpedThrough(use.from)) {
        // Code, and where it is a table of jumps, each of them.
        m_tracer.seed(target);
        for (int at = target + 3; at + 3 <= limit && quint8(image[at]) == kJumpOpcode; at += 3) {
            const auto to = m_tracer.offsetOf(wordAt(image, at + 1));
            if (quint8(image[target]) != kJumpOpcode || !to || !m_tracer.inCode(*to)) {
                break;
            }
            m_tracer.seed(at);
        }
        return true;
    }
    if (const int count = pointerCount(target, limit); count >= 2) {
        for (int i = 0; i < count; ++i) {
            const int at = target + 2 * i;
            const int to = *m_tracer.offsetOf(wordAt(image, at));
            m_tracer.addUse({at, to, Kind::Pointer});
            if (m_tracer.state(to) == State::Unknown &&
                TextRun::endAt(image, to, m_evidence.unknownEnd(to), true) <= to) {
                m_tracer.seed(to);
            }
        }
        m_tracer.markData(target, target + 2 * count, CodeKind::Pointers);
        return true;
    }
    if (m_evidence.plausibleCodeEnd(target, limit, false)) {
        m_tracer.seed(target);
        return true;
    }
    return false;
}

bool CodeMapBuilder::jumpedThrough(int from) const {
    int at = from + m_tracer.stepAt(from).length;
    for (int i = 0; i < kJumpTableReach && m_tracer.inCode(at); ++i) {
        if (m_tracer.state(at) != State::Start) {
            return false;
        }
        if (quint8(m_tracer.image()[at]) == kJumpThroughHl) {
            return true;
        }
        const Z80Step step = m_tracer.stepAt(at);
        if (step.flow != Z80Step::Flow::Next) {
            return false;
        }
        at += step.length;
    }
    return false;
}

int CodeMapBuilder::pointerCount(int at, int limit) const {
    const QByteArrayView image = m_tracer.image();
    int count = 0;
    for (int word = at; word + 2 <= limit; word += 2, ++count) {
        const auto to = m_tracer.offsetOf(wordAt(image, word));
        if (!to || !m_tracer.inCode(*to) || (*to >= at && *to < word + 2)) {
            break;
        }
        const State state = m_tracer.state(*to);
        const bool pointed =
            state == State::Start || state == State::Data ||
            (state == State::Unknown && m_evidence.namedAsData(*to)) ||
            (state == State::Unknown &&
             (TextRun::endAt(image, *to, m_evidence.unknownEnd(*to), true) > *to ||
              m_evidence.plausibleCodeEnd(*to, m_evidence.unknownEnd(*to), false)));
        if (!pointed) {
            break;
        }
    }
    return count;
}

CodeMap CodeMapBuilder::result(const CodeMarks& marks) const {
    const int first = m_tracer.first();
    const int end = m_tracer.end();
    CodeMap map;
    map.m_first = first;
    map.m_codeEnd = m_tracer.codeEnd();
    map.m_end = end;
    map.m_base = m_tracer.base();
    map.m_names = CodeLabels(first, m_tracer.base());

    std::vector<CodeKind> kinds(size_t(end - first), CodeKind::Padding);
    for (int offset = first; offset < m_tracer.codeEnd(); ++offset) {
        const State state = m_tracer.state(offset);
        kinds[size_t(offset - first)] = state == State::Start || state == State::Inside
                                            ? CodeKind::Code
                                        : state == State::Data ? m_tracer.shape(offset)
                                                               : CodeKind::Bytes;
    }
    for (const CodeRange& range : marks.kinds) {
        for (int offset = std::max(range.start, first); offset < std::min(range.end, end);
             ++offset) {
            kinds[size_t(offset - first)] = range.kind;
        }
    }
    for (int offset = first; offset < end;) {
        const CodeKind kind = kinds[size_t(offset - first)];
        const int start = offset;
        while (offset < end && kinds[size_t(offset - first)] == kind) {
            ++offset;
        }
        map.m_ranges.append({start, offset, kind});
    }

    std::vector<quint8> reasons(kinds.size(), 0);
    std::vector<bool> merged(kinds.size(), false);
    if (!kinds.empty()) {
        reasons.front() = kEntryLabel;
    }
    map.m_references.reserve(qsizetype(m_tracer.uses().size()));
    for (const CodeTracer::Use& use : m_tracer.uses()) {
        const bool code = use.kind == Kind::Jump || use.kind == Kind::Call;
        // Only a jump may lead into an instruction; any other number that would is no address.
        if (!code && m_tracer.inCode(use.to) && m_tracer.state(use.to) == State::Inside) {
            continue;
        }
        const auto at = size_t(use.to - first);
        const bool fromTable = m_tracer.state(use.from) == State::Data;
        reasons[at] |= use.kind == Kind::Jump   ? kJumpTarget
                       : use.kind == Kind::Call ? kCallTarget
                       : fromTable              ? kTableEntry
                                                : kDataReference;
        merged[at] = merged[at] || code;
        map.m_references.append({use.from, use.to, use.kind});
    }
    const std::vector<int> starts = m_tracer.startsInOrder();
    const SystemCallFinder calls(m_tracer, starts, merged);
    for (const int routine : calls.routines()) {
        reasons[size_t(routine - first)] |= kSystemCallRoutine;
    }
    map.m_systemCalls = calls.sites();
    for (auto it = marks.names.cbegin(); it != marks.names.cend(); ++it) {
        map.m_names.setName(it.key(), it.value());
        if (it.key() >= first && it.key() < end) {
            reasons[size_t(it.key() - first)] |= kAuthorLabel;
        }
    }
    for (auto it = marks.comments.cbegin(); it != marks.comments.cend(); ++it) {
        if (it.key() >= first && it.key() < end && !it.value().isEmpty()) {
            map.m_comments.insert(it.key(), it.value());
            map.m_commentOffsets.append(it.key());
        }
    }
    std::sort(map.m_commentOffsets.begin(), map.m_commentOffsets.end());
    for (size_t at = 0; at < reasons.size(); ++at) {
        if (reasons[at] != 0) {
            map.m_labels.append({first + int(at), reasons[at]});
        }
    }

    std::stable_sort(
        map.m_references.begin(), map.m_references.end(),
        [](const CodeReference& a, const CodeReference& b) { return a.from < b.from; });
    map.m_referencesByTarget.resize(map.m_references.size());
    std::iota(map.m_referencesByTarget.begin(), map.m_referencesByTarget.end(), 0);
    std::stable_sort(
        map.m_referencesByTarget.begin(), map.m_referencesByTarget.end(),
        [&map](int a, int b) { return map.m_references.at(a).to < map.m_references.at(b).to; });
    return map;
}

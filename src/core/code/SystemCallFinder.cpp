// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemCallFinder.h"

#include "SystemCalls.h"

#include <algorithm>

namespace {

using Value = Z80Values::Value;
using Flow = Z80Step::Flow;

// How many instructions before a call are read for its number, and how many a routine may
// take to reach its `rst $10`.
constexpr int kMostBefore = 24;
constexpr int kMostInRoutine = 48;

// A value the caller gave a routine, as `values` hold it at the call.
Value atCall(Value given, const Z80Values& values) {
    if (given.kind == Value::Argument) {
        return values.stackWord(2 * given.number);
    }
    if (given.kind == Value::Register) {
        return values.pair(Z80Values::Pair(given.number));
    }
    return {};
}

} // namespace

SystemCallFinder::SystemCallFinder(const CodeTracer& tracer, const std::vector<int>& starts,
                                   const std::vector<bool>& merged)
    : m_tracer(tracer), m_starts(starts), m_merged(merged) {
    const QByteArrayView image = tracer.image();
    QList<int> called;
    for (const CodeTracer::Use& use : tracer.uses()) {
        if (use.kind == CodeReference::Kind::Call && tracer.inCode(use.to) &&
            tracer.state(use.to) == CodeTracer::Start) {
            called.append(use.to);
        }
    }
    std::sort(called.begin(), called.end());
    called.erase(std::unique(called.begin(), called.end()), called.end());
    for (const int routine : std::as_const(called)) {
        if (const auto source = sourceOf(routine)) {
            m_routines.insert(routine, *source);
        }
    }
    for (size_t index = 0; index < starts.size(); ++index) {
        const int offset = starts[index];
        const bool restart = quint8(image[offset]) == SystemCalls::kCallOpcode;
        const Z80Step step = restart ? Z80Step{} : tracer.stepAt(offset);
        const auto routine = step.flow == Flow::Call ? tracer.offsetOf(step.operand) : std::nullopt;
        const auto source = routine ? m_routines.constFind(*routine) : m_routines.cend();
        if (!restart && source == m_routines.cend()) {
            continue;
        }
        const Z80Values values = before(int(index));
        if (restart) {
            addSite(offset, values.memoryWord(SystemCalls::kNumberAddress),
                    values.memoryWord(SystemCalls::kFirstArgumentAddress));
        } else {
            addSite(offset, atCall(source->number, values), atCall(source->extended, values));
        }
    }
}

std::optional<SystemCallFinder::Source> SystemCallFinder::sourceOf(int routine) const {
    const QByteArrayView image = m_tracer.image();
    Z80Values values = Z80Values::atEntry();
    int offset = routine;
    for (int count = 0; count < kMostInRoutine; ++count) {
        if (!m_tracer.inCode(offset) || m_tracer.state(offset) != CodeTracer::Start) {
            return std::nullopt;
        }
        if (quint8(image[offset]) == SystemCalls::kCallOpcode) {
            const Source source{values.memoryWord(SystemCalls::kNumberAddress),
                                values.memoryWord(SystemCalls::kFirstArgumentAddress)};
            const bool given =
                source.number.kind == Value::Argument || source.number.kind == Value::Register;
            return given ? std::optional(source) : std::nullopt;
        }
        const Z80Step step = m_tracer.stepAt(offset);
        if (step.flow != Flow::Next && step.flow != Flow::Jump && step.flow != Flow::Call) {
            return std::nullopt;
        }
        values.step(image.sliced(offset, step.length));
        if (step.flow == Flow::Jump) {
            const auto target = m_tracer.offsetOf(step.operand);
            if (!target) {
                return std::nullopt;
            }
            offset = *target;
        } else {
            offset += step.length;
        }
    }
    return std::nullopt;
}

Z80Values SystemCallFinder::before(int index) const {
    int first = index;
    while (first > 0 && index - first < kMostBefore) {
        const int current = m_starts[size_t(first)];
        const int previous = m_starts[size_t(first - 1)];
        const Z80Step step = m_tracer.stepAt(previous);
        if (m_merged[size_t(current - m_tracer.first())] || previous + step.length != current ||
            step.endsFlow()) {
            break;
        }
        --first;
    }
    Z80Values values;
    for (int i = first; i < index; ++i) {
        const int offset = m_starts[size_t(i)];
        values.step(m_tracer.image().sliced(offset, m_tracer.stepAt(offset).length));
    }
    return values;
}

void SystemCallFinder::addSite(int offset, Value number, Value extended) {
    if (number.kind != Value::Constant) {
        return;
    }
    SystemCallSite site{offset, quint16(number.number), std::nullopt};
    if (site.number == SystemCalls::kExtended && extended.kind == Value::Constant) {
        site.extendedNumber = quint16(extended.number);
    }
    m_sites.append(site);
}

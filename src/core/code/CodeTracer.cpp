// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeTracer.h"

#include "SystemCalls.h"
#include "Z80Opcodes.h"
#include "Z80Values.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using Flow = Z80Step::Flow;
using Kind = CodeReference::Kind;

// How far returns() looks through a routine before it takes the routine to return.
constexpr int kMostInstructionsWeighed = 4096;
// A run of this many 00 or FF bytes is a fill, not a run of NOP or RST $38 instructions.
constexpr int kShortestFill = 8;
// The most cases a table after a call holds.
constexpr int kMostCases = 256;

// How many instructions a routine that reads the bytes after its call site takes to start.
constexpr int kMostBeforeReading = 4;

bool popsInto(QByteArrayView image, int offset, int& pointer) {
    const auto lead = quint8(image[offset]);
    // POP BC, POP DE, POP HL, EX (SP),HL.
    constexpr std::array<std::pair<quint8, int>, 4> kPops = {
        {{0xC1, 0}, {0xD1, 1}, {0xE1, 2}, {0xE3, 2}}};
    for (const auto& [opcode, pair] : kPops) {
        if (lead == opcode) {
            pointer = pair;
            return true;
        }
    }
    return false;
}

// LD r,(HL), LD A,(BC) or LD A,(DE): reads where `pointer` (BC 0, DE 1, HL 2) points.
bool readsThrough(quint8 opcode, int pointer) {
    if (pointer == 2) {
        return (opcode & 0xC7) == 0x46 && opcode != 0x76;
    }
    return opcode == (pointer == 0 ? 0x0A : 0x1A);
}

} // namespace

bool CodeTracer::readsAfterCall(int routine) const {
    int pointer = -1;
    int offset = routine;
    for (int count = 0; count < kMostBeforeReading && inCode(offset); ++count) {
        const Z80Step step = stepAt(offset);
        if (!step.valid) {
            return false;
        }
        if (pointer >= 0) {
            if (readsThrough(quint8(m_image[offset]), pointer)) {
                return true;
            }
        } else if (popsInto(m_image, offset, pointer)) {
            offset += step.length;
            continue;
        }
        if (step.flow != Flow::Next) {
            return false;
        }
        offset += step.length;
    }
    return false;
}

CodeTracer::CodeTracer(QByteArrayView image, int first, int codeEnd, int end, quint16 base)
    : m_image(image), m_first(first), m_codeEnd(codeEnd), m_end(end), m_base(base) {
    const auto size = size_t(end - first);
    m_state.assign(size, Unknown);
    m_shape.assign(size, quint8(CodeKind::Bytes));
    m_soft.assign(size, false);
    m_givenCode.assign(size, false);
    m_returnsAfter.assign(size, false);
    m_returnsPast.assign(size, false);
    m_returns.assign(size, false);
    // Length 0: not decoded yet.
    m_steps.assign(size_t(std::max(0, codeEnd - first)), Z80Step{0});
    m_seen.assign(size, 0);
    m_starts.reserve(size / 2);
    m_uses.reserve(size / 4);
}

const Z80Step& CodeTracer::stepAt(int offset) const {
    const auto address = quint16(m_base + (offset - m_first));
    if (offset >= m_codeEnd) {
        m_pastCode.decode(m_image, offset, m_codeEnd, address);
        return m_pastCode;
    }
    Z80Step& step = m_steps[size_t(offset - m_first)];
    if (step.length == 0) {
        step.decode(m_image, offset, m_codeEnd, address);
    }
    return step;
}

void CodeTracer::markData(int start, int stop, CodeKind shape, bool soft) {
    for (int offset = std::max(start, m_first); offset < std::min(stop, m_end); ++offset) {
        const auto at = size_t(offset - m_first);
        if (m_state[at] == Unknown || m_state[at] == Data) {
            m_soft[at] = soft && (m_state[at] == Unknown || m_soft[at]);
            m_state[at] = Data;
            m_shape[at] = quint8(shape);
        }
    }
}

void CodeTracer::giveCode(int start, int stop) {
    for (int offset = std::max(start, m_first); offset < std::min(stop, m_codeEnd); ++offset) {
        m_givenCode[size_t(offset - m_first)] = true;
    }
    seed(start);
}

bool CodeTracer::trace() {
    const size_t known = m_starts.size();
    for (;;) {
        while (!m_work.empty()) {
            const int offset = m_work.back();
            m_work.pop_back();
            walk(offset);
        }
        bool resumed = false;
        for (PendingCall& call : m_pending) {
            if (call.resolved) {
                continue;
            }
            const int next = call.site + stepAt(call.site).length;
            if (readsAfterCall(call.routine)) {
                // It returns past what it reads: after its table, or where the code does not
                // show.
                call.resolved = true;
                m_returnsPast[size_t(call.site - m_first)] = true;
                if (const auto after = afterCaseTable(next)) {
                    seed(*after);
                }
                resumed = true;
            } else if (returns(call.routine)) {
                call.resolved = true;
                m_returnsAfter[size_t(call.site - m_first)] = true;
                seed(next);
                resumed = true;
            }
        }
        if (!resumed) {
            return m_starts.size() > known;
        }
    }
}

void CodeTracer::walk(int offset) {
    // What the straight run of code stored so far: a system call that leaves the add-in
    // does not come back to the bytes after it, which are often its data.
    Z80Values values;
    while (inCode(offset)) {
        const auto at = size_t(offset - m_first);
        if (!open(at)) {
            return;
        }
        const Z80Step step = stepAt(offset);
        if (!step.valid || fillAt(offset)) {
            return;
        }
        for (int i = 1; i < step.length; ++i) {
            if (!open(at + size_t(i))) {
                return;
            }
        }
        m_state[at] = Start;
        std::fill_n(m_state.begin() + qsizetype(at) + 1, step.length - 1, quint8(Inside));
        m_starts.push_back(offset);
        noteStep(offset, step);
        const int next = offset + step.length;
        const bool givenOn = inCode(next) && m_givenCode[size_t(next - m_first)];
        if (step.endsFlow() && !givenOn) {
            return;
        }
        values.step(m_image.sliced(offset, step.length));
        if (quint8(m_image[offset]) == SystemCalls::kCallOpcode && !givenOn) {
            const Z80Values::Value number = values.memoryWord(SystemCalls::kNumberAddress);
            if (number.kind == Z80Values::Value::Constant &&
                number.number == SystemCalls::kTerminate) {
                return;
            }
        }
        if (step.flow == Flow::Call) {
            const auto routine = offsetOf(step.operand);
            if (routine && inCode(*routine) && !givenOn) {
                m_pending.push_back({offset, *routine});
                return;
            }
            m_returnsAfter[at] = true;
        }
        offset = next;
    }
}

void CodeTracer::noteStep(int offset, const Z80Step& step) {
    if (step.hasTarget()) {
        if (const auto target = offsetOf(step.operand)) {
            const bool jump = step.flow == Flow::Jump || step.flow == Flow::Branch;
            m_uses.push_back({offset, *target, jump ? Kind::Jump : Kind::Call});
            seed(*target);
        }
        return;
    }
    if (step.access == Z80Step::Access::None) {
        return;
    }
    if (const auto target = offsetOf(step.operand)) {
        const Kind kind = step.access == Z80Step::Access::Constant ? Kind::Pointer
                          : step.access == Z80Step::Access::Read   ? Kind::Read
                                                                   : Kind::Write;
        m_uses.push_back({offset, *target, kind, step.word});
    }
}

std::vector<int> CodeTracer::startsInOrder() const {
    std::vector<int> ordered;
    ordered.reserve(m_starts.size());
    for (size_t at = 0; at < m_state.size(); ++at) {
        if (m_state[at] == Start) {
            ordered.push_back(m_first + int(at));
        }
    }
    return ordered;
}

bool CodeTracer::open(size_t at) const {
    return m_state[at] == Unknown || (m_state[at] == Data && m_soft[at]);
}

bool CodeTracer::fillAt(int offset) const {
    const char byte = m_image[offset];
    if (byte != '\0' && byte != char(0xFF)) {
        return false;
    }
    const int end = std::min(offset + kShortestFill, m_codeEnd);
    for (int at = offset + 1; at < end; ++at) {
        if (m_image[at] != byte) {
            return false;
        }
    }
    return end - offset == kShortestFill;
}

bool CodeTracer::returns(int routine) {
    if (m_returns[size_t(routine - m_first)]) {
        return true;
    }
    if (weighReturns(routine)) {
        m_returns[size_t(routine - m_first)] = true;
        return true;
    }
    return false;
}

bool CodeTracer::weighReturns(int routine) {
    std::vector<int>& branches = m_branches;
    branches.assign(1, routine);
    ++m_stamp;
    int budget = kMostInstructionsWeighed;
    while (!branches.empty()) {
        int offset = branches.back();
        branches.pop_back();
        for (;;) {
            if (!inCode(offset)) {
                return true; // on into code outside the add-in, which returns for it
            }
            const auto at = size_t(offset - m_first);
            if (m_state[at] != Start || m_seen[at] == m_stamp) {
                break;
            }
            m_seen[at] = m_stamp;
            if (--budget == 0) {
                return true;
            }
            const Z80Step step = stepAt(offset);
            if (step.flow == Flow::Return || step.flow == Flow::ConditionalReturn ||
                step.flow == Flow::IndirectJump) {
                return true;
            }
            if (step.flow == Flow::Jump || step.flow == Flow::Branch) {
                const auto target = offsetOf(step.operand);
                if (!target || !inCode(*target)) {
                    return true;
                }
                if (step.flow == Flow::Jump) {
                    offset = *target;
                    continue;
                }
                branches.push_back(*target);
            }
            if (step.flow == Flow::Call && m_returnsPast[at]) {
                return true;
            }
            if (step.flow == Flow::Call && !m_returnsAfter[at]) {
                break;
            }
            offset += step.length;
        }
    }
    return false;
}

std::optional<int> CodeTracer::afterCaseTable(int table) {
    const auto word = [this](int at) {
        return quint16(quint8(m_image[at]) | quint8(m_image[at + 1]) << 8);
    };
    std::vector<int> targets;
    int at = table;
    while (at + 2 <= m_codeEnd && targets.size() < size_t(kMostCases)) {
        const quint16 address = word(at);
        if (address == 0) {
            for (size_t i = 0; i < targets.size(); ++i) {
                const int entry = table + 4 * int(i);
                m_uses.push_back({entry, targets[i], Kind::Pointer});
                seed(targets[i]);
            }
            markData(table, at + 2, CodeKind::Words);
            return at + 2;
        }
        const auto target = offsetOf(address);
        if (!target || !inCode(*target) || at + 4 > m_codeEnd) {
            return std::nullopt;
        }
        targets.push_back(*target);
        at += 4;
    }
    return std::nullopt;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeKind.h"
#include "CodeMap.h"
#include "Z80Step.h"

#include <QByteArrayView>

#include <optional>
#include <vector>

// Follows an add-in's code from where it is known to start, as the processor would run it:
// which bytes are instructions and which addresses each names. The code map's first step;
// the data that nothing reaches is for CodeMapBuilder to shape.
class CodeTracer {
public:
    enum State : quint8 {
        Unknown, // nothing reached it yet
        Start,   // the first byte of an instruction
        Inside,  // a later byte of one
        Data,    // data: given, or found so
    };
    // An instruction's or a table word's use of an address in the listed range.
    struct Use {
        int from = 0;
        int to = 0;
        CodeReference::Kind kind = CodeReference::Kind::Jump;
        bool word = false; // a 16-bit read or write
    };

    // The code runs from `first` to `codeEnd`; the listed range, padding included, to `end`.
    CodeTracer(QByteArrayView image, int first, int codeEnd, int end, quint16 base);

    QByteArrayView image() const { return m_image; }
    int first() const { return m_first; }
    int codeEnd() const { return m_codeEnd; }
    int end() const { return m_end; }
    quint16 base() const { return m_base; }
    bool inCode(int offset) const { return offset >= m_first && offset < m_codeEnd; }
    // The file offset of `address` in the listed range.
    std::optional<int> offsetOf(quint16 address) const {
        const int distance = quint16(address - m_base);
        return distance < m_end - m_first ? std::optional(m_first + distance) : std::nullopt;
    }
    // The instruction at `offset`, decoded once; valid until the next call.
    const Z80Step& stepAt(int offset) const;

    State state(int offset) const { return State(m_state[size_t(offset - m_first)]); }
    CodeKind shape(int offset) const { return CodeKind(m_shape[size_t(offset - m_first)]); }
    // Bytes [start, stop) as data of `shape`; bytes already code stay code. Data found only
    // by its looks (`soft`) gives way to code that a later trace runs into.
    void markData(int start, int stop, CodeKind shape, bool soft = false);
    // Bytes an author called code: followed as code wherever a path through them leads.
    void giveCode(int start, int stop);

    void seed(int offset) { m_work.push_back(offset); }
    // Follows the seeds, and each call's fall-through once its routine is found to return;
    // false when nothing new was reached.
    bool trace();

    // Instruction starts in the order they were found.
    const std::vector<int>& starts() const { return m_starts; }
    // The same in the order of their offsets.
    std::vector<int> startsInOrder() const;
    const std::vector<Use>& uses() const { return m_uses; }
    void addUse(const Use& use) { m_uses.push_back(use); }

private:
    struct PendingCall {
        int site = 0;
        int routine = 0;
        bool resolved = false;
    };

    // Decodes from `offset` on until the flow ends or meets known bytes.
    void walk(int offset);
    void noteStep(int offset, const Z80Step& step);
    // Whether the byte at index `at` may still become code.
    bool open(size_t at) const;
    // Whether a fill of 00 or FF bytes starts at `offset`: where code that runs on ends.
    bool fillAt(int offset) const;
    // Whether the routine that starts at `routine` returns on some path the trace shows.
    bool returns(int routine);
    bool weighReturns(int routine);
    // Whether a routine takes its return address off the stack and reads where it points: it
    // reads what its callers put after their CALL.
    bool readsAfterCall(int routine) const;
    // The field's C toolchain calls a routine that reads after its call site with a table of
    // cases (address, value) that a zero word ends, and the code goes on after it. Where the
    // code goes on, if `table` holds such a table.
    std::optional<int> afterCaseTable(int table);

    QByteArrayView m_image;
    int m_first = 0;
    int m_codeEnd = 0;
    int m_end = 0;
    quint16 m_base = 0;
    std::vector<quint8> m_state;
    std::vector<quint8> m_shape;
    std::vector<bool> m_soft; // per byte: data by its looks only
    std::vector<bool> m_givenCode;
    std::vector<bool> m_returnsAfter;     // per byte: a call there is known to return
    std::vector<bool> m_returnsPast;      // per byte: a call there returns past the bytes after it
    std::vector<bool> m_returns;          // per byte: a routine there is known to return
    std::vector<int> m_seen;              // search stamps of returns()
    std::vector<int> m_branches;          // returns()'s work
    mutable std::vector<Z80Step> m_steps; // per byte of the code: the instruction there, once
                                          // decoded
    mutable Z80Step m_pastCode;
    int m_stamp = 0;
    std::vector<int> m_work;
    std::vector<int> m_starts;
    std::vector<Use> m_uses;
    std::vector<PendingCall> m_pending;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeKind.h"
#include "CodeLabels.h"
#include "CodeMarks.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

struct AddinHeader;

// Why a byte has a label; a label may have several reasons.
enum LabelReason : quint8 {
    kEntryLabel = 0x01,        // the first code byte, where the handheld starts the add-in
    kCallTarget = 0x02,        // a CALL or RST leads there
    kJumpTarget = 0x04,        // a JP, JR or DJNZ leads there
    kDataReference = 0x08,     // an instruction loads its address or reads or writes it
    kTableEntry = 0x10,        // a table of addresses holds its address
    kSystemCallRoutine = 0x20, // a routine that makes the system call its caller names
    kAuthorLabel = 0x40,       // the author named it
};

struct CodeLabel {
    int offset = 0;
    quint8 reasons = 0; // LabelReason bits
};

// An instruction's or a table word's use of an address inside the listed range.
struct CodeReference {
    enum class Kind : quint8 { Jump, Call, Read, Write, Pointer };

    int from = 0; // file offset of the instruction, or of the table's word
    int to = 0;   // file offset of the byte it names
    Kind kind = Kind::Jump;
};

// A system call whose number the code shows: an `rst $10` after a constant stored at $C000, or
// a call of a system-call routine that passes a constant number.
struct SystemCallSite {
    int offset = 0; // the `rst $10` or the CALL
    quint16 number = 0;
    std::optional<quint16> extendedNumber; // the number at $C002 of an extended call ($00CE)

    // "DS_ADDIN_TERMINATE", or the numbers when they name no call: "$0041".
    QString comment() const;
};

// What an add-in's code area holds, byte by byte: code or one of the shapes of data, found by
// following the code from its entry at the first code byte (fall-through, jumps, calls, returns;
// a call returns unless its routine never does), then widening that with evidence: constants
// that point at code which decodes cleanly (function pointers, `switch` tables of jumps),
// tables of addresses, calls of a routine that reads a table after its call site, and the
// addresses instructions read and write. What nothing reaches as code is data (text, words,
// address tables or bytes) unless it decodes cleanly as code between reached code.
//
// The ranges cover the listed range without gaps, in file offsets, ends exclusive; the first
// code byte runs at `base`. What an author marked wins over the analysis: a given code range is
// followed as code, a given data range is never decoded; a name the author gave is a label and
// replaces the generated one, and the author's comments are kept for the lines that show them.
class CodeMap {
public:
    static constexpr quint16 kDefaultBase = 0x8000;

    CodeMap() = default;

    // The code of a complete add-in from the end of its header to the end of its approximate
    // code size, or to the end of the image with `toImageEnd`; as CodeListing::ofAddin lists
    // it, padding after word 1's length included. Empty when the header is not a complete
    // add-in header.
    static CodeMap of(QByteArrayView image, const AddinHeader& header, const CodeMarks& marks = {},
                      bool toImageEnd = false, quint16 base = kDefaultBase);

    bool isEmpty() const { return m_ranges.isEmpty(); }
    int firstOffset() const { return m_first; }
    int endOffset() const { return m_end; }
    // Where word 1's length ends the code and padding starts; endOffset() without padding.
    int codeEndOffset() const { return m_codeEnd; }
    quint16 base() const { return m_base; }
    quint16 addressOf(int offset) const { return quint16(m_base + (offset - m_first)); }
    // The file offset of `address` in the listed range, if it lies there.
    std::optional<int> offsetOf(quint16 address) const;

    const QList<CodeRange>& ranges() const { return m_ranges; }
    // The index of the range that holds `offset`, or -1 outside the listed range.
    int rangeIndexAt(int offset) const;
    // The kind of the byte at `offset`, which must lie in the listed range.
    CodeKind kindAt(int offset) const { return m_ranges.at(rangeIndexAt(offset)).kind; }

    // In the order of their offsets.
    const QList<CodeLabel>& labels() const { return m_labels; }
    // The reasons of a label at `offset`; 0 when there is none.
    quint8 labelAt(int offset) const;
    // The first label at or after `offset`, as an index into labels().
    int labelIndexFrom(int offset) const;
    const CodeLabels& labelNames() const { return m_names; }
    // The author's comment at `offset`; empty for none.
    QString commentAt(int offset) const { return m_comments.value(offset); }
    // The offsets of the author's comments in the listed range, in order.
    const QList<int>& commentOffsets() const { return m_commentOffsets; }

    // In the order of the referring offsets.
    const QList<CodeReference>& references() const { return m_references; }
    // The reference made by the instruction or table word at `from`, if any.
    const CodeReference* referenceFrom(int from) const;
    // Every reference to a byte of [start, end), in the order of the referring offsets.
    QList<CodeReference> referencesTo(int start, int end) const;

    // In the order of their offsets.
    const QList<SystemCallSite>& systemCalls() const { return m_systemCalls; }
    const SystemCallSite* systemCallAt(int offset) const;

private:
    friend class CodeMapBuilder;

    int m_first = 0;
    int m_codeEnd = 0;
    int m_end = 0;
    quint16 m_base = kDefaultBase;
    QList<CodeRange> m_ranges;
    QList<CodeLabel> m_labels;
    CodeLabels m_names;
    QHash<int, QString> m_comments;
    QList<int> m_commentOffsets;
    QList<CodeReference> m_references;
    QList<int> m_referencesByTarget; // indices into m_references, in the order of their targets
    QList<SystemCallSite> m_systemCalls;
};

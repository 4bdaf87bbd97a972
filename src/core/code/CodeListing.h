// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <optional>

struct AddinHeader;

// One Z80 instruction of a listing, the `.db` bytes of one that the range's end cuts off, or a
// run of padding after the code.
struct CodeInstruction {
    static constexpr int kMaxLength = 4;

    int offset = 0;                      // file offset of its first byte
    quint16 address = 0;                 // where its first byte runs
    int length = 0;                      // 1 to kMaxLength bytes; any number for padding
    std::array<char, kMaxLength> code{}; // its bytes as the file holds them, the first
                                         // kMaxLength of a run of padding
    int lineStart = 0;                   // where its line starts in CodeListing::text()
    int lineLength = 0;                  // its line's length, without the line feed
    // The file offset a JP, CALL, JR or DJNZ leads to when that byte is in the listing; -1 for
    // any other instruction and for a target outside the listing.
    int target = -1;
    bool labelled = false; // some instruction's target is its first byte or inside it
    bool data = false;     // shown as `.db` bytes: cut off by the range's end, or no instruction
    bool padding = false;  // `length` bytes of one value after word 1's length: 00, then FF

    // Its bytes, or the first kMaxLength of a run of padding.
    QByteArrayView bytes() const { return {code.data(), qsizetype(std::min(length, kMaxLength))}; }
    int end() const { return offset + length; }
};

// An add-in's code as Z80 instructions, decoded by z80ex's disassembler and written in
// Mobrin's style: lower-case mnemonics, numbers as "$" and upper-case hexadecimal digits.
// The instructions cover the range without gaps, so every byte in it belongs to exactly one,
// and the listing's text holds one line per instruction, line i for instruction i:
//
//   8000  3A 00 80     ld a,($8000)
//   8003  DD CB 05 46  bit 0,(ix+$05)
//   8007  CD 03        .db $CD,$03
//   8009  00 ...       .ds $1DF7,$00
//
// The last line is a run of padding: in an add-in whose word 1 is the code's length and whose
// bytes after it are all padding (see CodePadding), each run of 00 or FF bytes there is one
// line. The text shows every number as it is; the jumps' targets inside the listing are known per
// instruction (`target`, `labelled`) and named by label in LabelledListing and AddinSource.
class CodeListing {
public:
    // In real add-ins the first code byte runs at $8000, whatever the ORG box derives from
    // the header size.
    static constexpr quint16 kDefaultBase = 0x8000;
    // The bytes column is as wide as the longest instruction, "DD CB 05 46".
    static constexpr int kBytesColumnWidth = 11;
    // Where the instruction starts in a line: after the address, the bytes and two gaps.
    static constexpr int kTextColumn = 4 + 2 + kBytesColumnWidth + 2;

    CodeListing() = default;

    // The code of a complete add-in: from the end of its header to the end of its
    // approximate code size, or to the end of the image with `toImageEnd`, its padding in runs.
    // The first instruction, the entry point, is labelled. Empty when the header is not a
    // complete add-in header.
    static CodeListing ofAddin(QByteArrayView image, const AddinHeader& header,
                               bool toImageEnd = false, quint16 base = kDefaultBase);
    // The file offsets [first, end) of `image`, the byte at `first` running at `base`.
    // The range is clipped to the image.
    static CodeListing ofRange(QByteArrayView image, int first, int end, quint16 base);

    const QList<CodeInstruction>& instructions() const { return m_instructions; }
    bool isEmpty() const { return m_instructions.isEmpty(); }
    int firstOffset() const { return m_first; }
    int endOffset() const { return m_end; }

    // The index of the instruction that holds the byte at file offset `offset`; -1 when the
    // byte lies outside the range.
    int indexAt(int offset) const;
    // Where instruction `index` leads, as the bytes to select: from its target to the end of
    // the instruction that holds the target. Nothing unless it is a JP, CALL, JR or DJNZ whose
    // target lies in the listing.
    std::optional<ByteRange> targetOf(int index) const;

    // Every line, each ending in a line feed.
    const QString& text() const { return m_text; }
    // Line `index` of text(), without its line feed. Like instructionText(), a view into
    // the listing's text: valid while the listing lives.
    QStringView line(int index) const;
    // The instruction alone: "ld a,($8000)".
    QStringView instructionText(int index) const;

    // The label of an instruction that starts at `address`: "L9B03".
    static QString labelName(quint16 address);
    // Appends instruction `index` with its target named by the label of the instruction that
    // holds it, plus the target's distance into that instruction when it is not the first
    // byte, in hexadecimal: "jp nz,L9B03", "jr L9B02+$01". Without a target, instructionText()
    // as it is.
    void appendLabelledInstruction(QString& text, int index) const;

private:
    // Decodes [m_first, end) into instructions, the first running at `base`.
    void decode(QByteArrayView image, int end, quint16 base);
    // A run of `length` bytes of padding from the end of the instructions, if there are any.
    void appendPadding(QByteArrayView image, int length, quint16 base);
    // Sets each jump's target and marks the instructions that hold one.
    void findTargets(quint16 base);

    QList<CodeInstruction> m_instructions;
    QString m_text;
    int m_first = 0;
    int m_end = 0;
};

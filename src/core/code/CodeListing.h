// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"
#include "CodeKind.h"
#include "CodeMap.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <optional>

struct AddinHeader;

// One line of a listing: a Z80 instruction, the `.db` bytes of one that the range's end cuts
// off, a line of data, or a run of one value (padding after the code, or a run among data).
struct CodeInstruction {
    static constexpr int kMaxLength = 4; // the longest instruction

    int offset = 0;                      // file offset of its first byte
    quint16 address = 0;                 // where its first byte runs
    int length = 0;                      // 1 to kMaxLength bytes for an instruction; up to 32
                                         // for text, 8 for other data, any number for a run
    std::array<char, kMaxLength> code{}; // its first kMaxLength bytes as the file holds them
    int lineStart = 0;                   // where its line starts in CodeListing::text()
    int lineLength = 0;                  // its line's length, without the line feed
    // The file offset its operand names when that byte is in the listing: where a JP, CALL,
    // JR or DJNZ leads and, in a listing of a code map, the data an instruction loads, reads
    // or writes the address of; -1 for none.
    int target = -1;
    // Where in instructionText() the number that names `target` stands ("$9113"); -1 for none.
    int operandColumn = -1;
    // Where in instructionText() the author's comment starts, at its " ; "; -1 for none.
    int commentColumn = -1;
    bool labelled = false; // a label is at its first byte or inside it
    bool data = false;     // no instruction: data, or bytes cut off by the range's end
    bool padding = false;  // `length` bytes of one value after word 1's length: 00, then FF
    CodeKind kind = CodeKind::Code;

    // Its bytes, or the first kMaxLength of a longer line (CodeListing::bytesOf() has them all).
    QByteArrayView bytes() const { return {code.data(), qsizetype(std::min(length, kMaxLength))}; }
    int end() const { return offset + length; }
};

// An add-in's code as lines, Z80 instructions decoded by z80ex's disassembler and data in
// the listing's directives, written in Mobrin's style: lower-case mnemonics, numbers as "$"
// and upper-case hexadecimal digits. The lines cover the range without gaps, so every byte in
// it belongs to exactly one, and the listing's text holds line i for instruction i:
//
//   8000  3A 00 80     ld a,($8000)
//   8003  DD CB 05 46  bit 0,(ix+$05)
//   8007  D7           rst $10 ; DS_ADDIN_TERMINATE
//   8008  52 65 ...    .dm "Restarting..."
//   8015  00           .db $00
//   8016  13 80        .dw $8013
//   8018  00 ...       .ds $1DE8,$00
//
// A listing of a code map (ofMap(), ofAddin()) lists code as instructions and data as data:
// text at most 32 characters a line, other data at most 8 bytes, each label starting a line;
// a run of padding, or of 16 or more alike bytes among data, is one line. The handheld's calls
// whose numbers the code shows are named in a comment, and the author's comments follow on the
// line that holds their address ("ld a,$05 ; lives left"). A linear listing (linear(), ofRange())
// decodes every byte as an instruction, as listings did before there was a map. The text shows
// every number as it is; the addresses operands name inside the listing are known per line
// (`target`) and named by label in LabelledListing and AddinSource.
class CodeListing {
public:
    // In real add-ins the first code byte runs at $8000, whatever the ORG box derives from
    // the header size.
    static constexpr quint16 kDefaultBase = CodeMap::kDefaultBase;
    // The bytes column is as wide as the longest instruction, "DD CB 05 46".
    static constexpr int kBytesColumnWidth = 11;
    // Where the instruction starts in a line: after the address, the bytes and two gaps.
    static constexpr int kTextColumn = 4 + 2 + kBytesColumnWidth + 2;

    CodeListing() = default;

    // The lines of a code map of `image`.
    static CodeListing ofMap(QByteArrayView image, const CodeMap& map);
    // The code of a complete add-in through its code map: from the end of its header to the
    // end of its approximate code size, or to the end of the image with `toImageEnd`, its
    // padding in runs. Empty when the header is not a complete add-in header.
    static CodeListing ofAddin(QByteArrayView image, const AddinHeader& header,
                               bool toImageEnd = false, quint16 base = kDefaultBase);
    // The same range with every byte decoded as an instruction, no map: the padding in runs,
    // the entry point and each jump's target labelled.
    static CodeListing linear(QByteArrayView image, const AddinHeader& header,
                              bool toImageEnd = false, quint16 base = kDefaultBase);
    // The file offsets [first, end) of `image` decoded as instructions, the byte at `first`
    // running at `base`. The range is clipped to the image.
    static CodeListing ofRange(QByteArrayView image, int first, int end, quint16 base);

    const QList<CodeInstruction>& instructions() const { return m_instructions; }
    bool isEmpty() const { return m_instructions.isEmpty(); }
    int firstOffset() const { return m_first; }
    int endOffset() const { return m_end; }
    // The code map the lines come from; empty for a linear listing.
    const CodeMap& map() const { return m_map; }
    // The bytes of line `index`, all of them.
    QByteArrayView bytesOf(int index) const;

    // The index of the line that holds the byte at file offset `offset`; -1 when the byte lies
    // outside the range.
    int indexAt(int offset) const;
    // Where line `index` leads, as the bytes to select: from its target to the end of the line
    // that holds the target. Nothing unless it names a target in the listing (see `target`).
    std::optional<ByteRange> targetOf(int index) const;

    // Every line, each ending in a line feed.
    const QString& text() const { return m_text; }
    // Line `index` of text(), without its line feed. Like instructionText(), a view into
    // the listing's text: valid while the listing lives.
    QStringView line(int index) const;
    // The instruction or data alone, with its comment: "ld a,($8000)", "rst $10 ; DS_...".
    QStringView instructionText(int index) const;
    // The author's comment on line `index`, without its "; "; empty for none.
    QStringView authorComment(int index) const;

    // The generated label of an address: "L9B03".
    static QString labelName(quint16 address);
    // The name of the label at the line that starts at `offset`: the map's names, or the
    // generated one.
    QString labelNameAt(int offset) const;
    // The name of `target`: the label of the line that holds it, plus the target's distance
    // into the line when it is not the first byte: "L9B03", "L9B02+$01".
    QString targetName(int target) const;
    // Appends line `index` with the addresses it names as labels: "jp nz,L9B03",
    // "jr L9B02+$01", "ld hl,L9113", ".dw L9113,L9121". Without a target, instructionText()
    // as it is.
    void appendLabelledInstruction(QString& text, int index) const;
    QString labelledInstructionText(int index) const;

private:
    // Decodes [from, end) as instructions, the byte at m_first running at `base`.
    void decode(QByteArrayView image, int from, int end, quint16 base);
    // Lines of data of `kind` over [from, end).
    void appendData(QByteArrayView image, CodeKind kind, int from, int end,
                    const QList<int>& breaks);
    // Adds the line `text` (Latin-1), then the author's comments on its bytes.
    void appendLine(CodeInstruction& line, const std::string& text);
    // The map's reference from `offset`, or its system call there; lines are made in the
    // order of their offsets, and so are both lists.
    const CodeReference* nextReference(int offset);
    const SystemCallSite* nextSystemCall(int offset);
    // Sets each jump's target and marks the instructions that hold one (a linear listing).
    void findTargets(quint16 base);
    // Marks the lines that hold a label of the map.
    void markLabels();

    QList<CodeInstruction> m_instructions;
    QString m_text;
    QByteArray m_bytes; // [m_first, m_end) of the image
    CodeMap m_map;
    CodeLabels m_names;
    int m_first = 0;
    int m_end = 0;
    qsizetype m_nextReference = 0; // while the lines are made
    qsizetype m_nextCall = 0;
    qsizetype m_nextComment = 0;
};

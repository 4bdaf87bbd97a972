// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceLines.h"

#include "CodeListing.h"
#include "NumberForm.h"
#include "TextRun.h"
#include "Z80Opcodes.h"

#include <algorithm>

namespace {

constexpr qsizetype kCommentColumn = 40;
// Items of one data line, so that a long text stays readable: at most this many characters.
constexpr qsizetype kDataWidth = 48;

} // namespace

namespace SourceLines {

void appendAscii(QByteArray& text, QStringView ascii) {
    const qsizetype at = text.size();
    text.resize(at + ascii.size());
    std::transform(ascii.begin(), ascii.end(), text.begin() + at,
                   [](QChar c) { return char(c.unicode()); });
}

void appendHex(QByteArray& text, int value, int digits) {
    text += '$';
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        text += NumberForm::hexDigit(value >> shift);
    }
}

void appendComment(QByteArray& line, QByteArrayView comment) {
    const qsizetype lineStart = line.lastIndexOf('\n') + 1;
    const qsizetype width = line.size() - lineStart;
    line.append(std::max<qsizetype>(1, kCommentColumn - width), ' ');
    line += "; ";
    line += comment;
}

void appendText(QByteArray& text, QByteArrayView bytes, QByteArrayView comment) {
    qsizetype itemsStart = -1;
    const auto endLine = [&] {
        if (!comment.isEmpty()) {
            appendComment(text, comment);
            comment = {};
        }
        text += '\n';
    };
    qsizetype i = 0;
    while (i < bytes.size()) {
        qsizetype run = 0;
        while (i + run < bytes.size() && TextRun::quotable(bytes[i + run]) &&
               run < kDataWidth - 2) {
            ++run;
        }
        const qsizetype itemLength = run > 0 ? run + 2 : 3;
        const bool lineFull =
            itemsStart >= 0 && text.size() - itemsStart + 1 + itemLength > kDataWidth;
        if (lineFull) {
            endLine();
        }
        if (itemsStart < 0 || lineFull) {
            text += kIndent;
            text += "defb ";
            itemsStart = text.size();
        } else {
            text += ',';
        }
        if (run > 0) {
            text += '"';
            text += bytes.sliced(i, run);
            text += '"';
            i += run;
        } else {
            appendHex(text, quint8(bytes[i]), 2);
            ++i;
        }
    }
    if (itemsStart >= 0) {
        endLine();
    }
}

void appendBytes(QByteArray& text, QByteArrayView bytes) {
    text += "defb ";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        appendHex(text, quint8(bytes[i]), 2);
    }
}

// Neither // spells the undocumented halves of IX and IY alike (z80asm knows no INC IXH and swaps
// IXH and IXL in arithmetic), nor SLL (z80asm calls it SLI, pasmo SLL), nor the undocumented copies
// of an opcode, which both assemble to the documented one: the ED copies (Z80Opcodes), and the
// indexed bit instructions whose last three bits do not name (IX+d) or (IY+d).
bool spelledAlike(const CodeInstruction& instruction, QStringView text) {
    using namespace Z80Opcodes;
    const quint8 first = quint8(instruction.code[0]);
    const quint8 second = instruction.length > 1 ? quint8(instruction.code[1]) : 0;
    if (first == kExtendedPrefix) {
        return !isExtendedCopy(second);
    }
    if (first == kBitPrefix) {
        return !text.startsWith(u"sll ");
    }
    if (first != kIxPrefix && first != kIyPrefix) {
        return true;
    }
    if (second == kBitPrefix) {
        return instruction.length == 4 && (quint8(instruction.code[3]) & 0x07) == 0x06 &&
               !text.startsWith(u"sll ");
    }
    // "ixh", "ixl", "iyh" or "iyl"; "(ix+$05)" and "ix" alone are documented.
    for (qsizetype i = 2; i < text.size(); ++i) {
        const QChar half = text[i];
        if ((half == u'h' || half == u'l') && text[i - 2] == u'i' &&
            (text[i - 1] == u'x' || text[i - 1] == u'y')) {
            return false;
        }
    }
    return true;
}

} // namespace SourceLines

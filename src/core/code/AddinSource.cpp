// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinSource.h"

#include "AddinHeader.h"
#include "AddinImage.h"
#include "CodeListing.h"
#include "NumberForm.h"
#include "Z80Opcodes.h"

#include <algorithm>
#include <array>

namespace {

constexpr QByteArrayView kIndent = "        ";
constexpr qsizetype kCommentColumn = 40;
// Items of one data line, so that a long text stays readable: at most this many characters.
constexpr qsizetype kDataWidth = 48;
constexpr int kSignatureLength = AddinHeader::kSignatureLength;
constexpr int kIconRows = AddinHeader::kIconHeight;
constexpr int kIconRowBytes = AddinHeader::kIconRowBytes;

// The listing's texts are ASCII.
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

// Whether a byte goes into a quoted string: printable ASCII that neither assembler treats
// specially inside double quotes (z80asm reads a backslash as an escape).
bool quotable(char byte) {
    return byte >= ' ' && byte <= '~' && byte != '"' && byte != '\\';
}

// A text field as `defb` lines: runs of quotable bytes as strings, every other byte as a
// number; the comment goes on the first line.
void appendText(QByteArray& text, QByteArrayView bytes, QByteArrayView comment = {}) {
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
        while (i + run < bytes.size() && quotable(bytes[i + run]) && run < kDataWidth - 2) {
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

// A few code bytes as one `defb` line of numbers.
void appendCodeBytes(QByteArray& text, QByteArrayView bytes, QStringView comment = {}) {
    text += kIndent;
    text += "defb ";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        appendHex(text, quint8(bytes[i]), 2);
    }
    if (!comment.isEmpty()) {
        appendComment(text, comment.toLatin1());
    }
    text += '\n';
}

// Whether both assemblers turn the instruction's text back into exactly its bytes. Neither
// spells the undocumented halves of IX and IY alike (z80asm knows no INC IXH and swaps IXH
// and IXL in arithmetic), nor SLL (z80asm calls it SLI, pasmo SLL), nor the undocumented copies
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

void appendHeader(QByteArray& text, QByteArrayView image, const AddinHeader& header) {
    text += "\n; The header\n";
    text += kIndent;
    text += "org ";
    appendHex(text, CodeListing::kDefaultBase - header.headSize, 4);
    appendComment(text, "so that the code starts at $8000");
    text += '\n';
    // Each field with its terminator, as the file holds it: the byte after a carriage return
    // is whatever the file has there.
    const int nameStart = header.name->start - 1;
    const int descriptionStart = header.description->start - 1;
    const int wordsStart = header.iconStart - 5;
    const int iconStart = header.iconStart - 1;
    appendText(text, image.first(kSignatureLength));
    appendText(text, image.sliced(kSignatureLength, nameStart - kSignatureLength), "class");
    appendText(text, image.sliced(nameStart, descriptionStart - nameStart), "name");
    appendText(text, image.sliced(descriptionStart, wordsStart - descriptionStart), "description");
    for (int word = 0; word < 2; ++word) {
        text += kIndent;
        text += "defw ";
        const int at = wordsStart + 2 * word;
        appendHex(text, quint8(image[at]) | quint8(image[at + 1]) << 8, 4);
        appendComment(text, word == 0 ? "word 1" : "word 2");
        text += '\n';
    }
    // The same 32 rows of five bytes as the icon-code window.
    text += "; The icon, 40 x 32 pixels, a row a line\n";
    for (int row = 0; row < kIconRows; ++row) {
        text += kIndent;
        text += "defb ";
        for (int column = 0; column < kIconRowBytes; ++column) {
            if (column > 0) {
                text += ',';
            }
            appendHex(text, quint8(image[iconStart + row * kIconRowBytes + column]), 2);
        }
        text += '\n';
    }
}

void appendLabel(QByteArray& text, const CodeInstruction& code) {
    if (code.labelled) {
        appendAscii(text, CodeListing::labelName(code.address));
        text += ":\n";
    }
}

void appendFill(QByteArray& text, int length, quint8 byte) {
    text += kIndent;
    text += "defs ";
    appendHex(text, length, 4);
    text += ',';
    appendHex(text, byte, 2);
    text += '\n';
}

// The instructions up to the padding; the index of the first run of padding.
int appendCode(QByteArray& text, const CodeListing& listing) {
    const QList<CodeInstruction>& instructions = listing.instructions();
    if (listing.isEmpty() || instructions.first().padding) {
        return 0;
    }
    text += "\n; The code\n";
    QString instruction;
    int index = 0;
    for (; index < instructions.size() && !instructions.at(index).padding; ++index) {
        const CodeInstruction& code = instructions.at(index);
        appendLabel(text, code);
        if (code.data) {
            appendCodeBytes(text, code.bytes());
            continue;
        }
        const QStringView plain = listing.instructionText(index);
        if (!spelledAlike(code, plain)) {
            appendCodeBytes(text, code.bytes(), plain);
            continue;
        }
        instruction.clear();
        listing.appendLabelledInstruction(instruction, index);
        text += kIndent;
        appendAscii(text, instruction);
        text += '\n';
    }
    return index;
}

// The runs of padding from instruction `from` on, then the 0xFF bytes after the listing.
void appendPadding(QByteArray& text, const CodeListing& listing, int from, int imageSize) {
    const QList<CodeInstruction>& instructions = listing.instructions();
    const int tail = imageSize - listing.endOffset();
    if (from == instructions.size() && tail == 0) {
        return;
    }
    text += "\n; The padding\n";
    for (int index = from; index < instructions.size(); ++index) {
        const CodeInstruction& run = instructions.at(index);
        appendLabel(text, run);
        appendFill(text, run.length, quint8(run.code[0]));
    }
    if (tail > 0) {
        appendFill(text, tail, quint8(AddinImage::kPadByte));
    }
}

} // namespace

namespace AddinSource {

QByteArray of(QByteArrayView image, const AddinHeader& header) {
    if (!header.complete() || !header.isAddin()) {
        return {};
    }
    const CodeListing listing = CodeListing::ofAddin(image, header);
    QByteArray text;
    // Lines of about 25 characters: an instruction, a label or a row of data.
    text.reserve(1024 + listing.instructions().size() * 25);
    text += "; An add-in as Z80 assembler source, written by Mobrin. Assembled by\n"
            ";   z80asm -o ADDIN.rex THIS.asm     or     pasmo THIS.asm ADDIN.rex\n"
            "; it gives back the add-in byte for byte.\n";
    appendHeader(text, image, header);
    appendPadding(text, listing, appendCode(text, listing), int(image.size()));
    return text;
}

QByteArray of(QByteArrayView image) {
    return of(image, AddinHeader::parse(image));
}

} // namespace AddinSource

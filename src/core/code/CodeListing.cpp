// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeListing.h"

#include "AddinHeader.h"
#include "NumberForm.h"

#include <z80ex/z80ex_dasm.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kRawTextSize = 64; // z80ex's longest text, "LD B,RES 0,(IX+#FFFFFFFB)", is 25
constexpr quint8 kIxPrefix = 0xDD;
constexpr quint8 kIyPrefix = 0xFD;
// The jumps whose targets get labels; the conditional forms with their condition bits cleared.
constexpr quint8 kJp = 0xC3;
constexpr quint8 kCall = 0xCD;
constexpr quint8 kJpConditional = 0xC2;
constexpr quint8 kCallConditional = 0xC4;
constexpr quint8 kDjnz = 0x10;
constexpr quint8 kJr = 0x18;
constexpr quint8 kJrConditional = 0x20;
// A jump's target ends its text: "$" and four digits.
constexpr int kTargetTextLength = 5;
// The columns and most instructions, with a line feed.
constexpr int kTypicalLineLength = CodeListing::kTextColumn + 16 + 1;

// The bytes z80ex may read for one instruction: those of the range from the instruction on,
// 0 past the range's end. `furthest` counts the bytes it looked at.
struct DecodeWindow {
    QByteArrayView image;
    int offset = 0;
    int end = 0;
    quint16 address = 0;
    int furthest = 0;
};

Z80EX_BYTE readByte(Z80EX_WORD address, void* data) {
    auto* window = static_cast<DecodeWindow*>(data);
    const int distance = quint16(address - window->address);
    window->furthest = std::max(window->furthest, distance + 1);
    const int offset = window->offset + distance;
    return offset < window->end ? Z80EX_BYTE(window->image[offset]) : Z80EX_BYTE(0);
}

void appendHexByte(std::string& text, int value) {
    text += kHexDigits[(value >> 4) & 0x0F];
    text += kHexDigits[value & 0x0F];
}

void appendDataBytes(std::string& text, QByteArrayView bytes) {
    text += ".db ";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += '$';
        appendHexByte(text, quint8(bytes[i]));
    }
}

// Appends z80ex's text (ASCII) in Mobrin's style. z80ex writes upper case, numbers as "#hex" ("0x"
// after RST), a negative index displacement as "+#FFFFFFFB", a few instructions with
// underscores, and the undocumented copies of an indexed rotation as "LD B,RLC (IX+#05)".
void appendStyled(std::string& text, std::string_view raw) {
    static constexpr std::pair<std::string_view, std::string_view> kRenamed[] = {
        {"LD_A_I", "ld a,i"}, {"LD_A_R", "ld a,r"}, {"LD_R_A", "ld r,a"}, {"IN_F (C)", "in f,(c)"},
        {"JP HL", "jp (hl)"}, {"JP IX", "jp (ix)"}, {"JP IY", "jp (iy)"},
    };
    for (const auto& [from, to] : kRenamed) {
        if (raw == from) {
            text += to;
            return;
        }
    }
    // "LD B,RLC (IX+#05)" becomes "rlc (ix+$05),b": no ordinary LD has a space in its source.
    std::string reordered;
    if (raw.starts_with("LD ") && raw.size() > 5 && raw[4] == ',' &&
        raw.find(' ', 5) != std::string_view::npos) {
        reordered = std::string(raw.substr(5)) + ',' + raw[3];
        raw = reordered;
    }

    for (size_t i = 0; i < raw.size(); ++i) {
        const bool hash = raw[i] == '#';
        const bool zeroX = raw.substr(i).starts_with("0x");
        if (!hash && !zeroX) {
            text += raw[i] >= 'A' && raw[i] <= 'Z' ? char(raw[i] - 'A' + 'a') : raw[i];
            continue;
        }
        const size_t start = i + (hash ? 1 : 2);
        size_t stop = start;
        qint64 value = 0;
        // At most eight digits: a displacement is a 32-bit int, everything else 16 bits.
        while (stop < raw.size() && stop - start < 8 &&
               NumberForm::hexDigitValue(char16_t(raw[stop])) >= 0) {
            value = value * 16 + NumberForm::hexDigitValue(char16_t(raw[stop]));
            ++stop;
        }
        const std::string_view digits = raw.substr(start, stop - start);
        i = stop - 1;
        if (text.ends_with('+')) {
            // An index displacement is a signed byte.
            const int displacement = int(value > 0xFF   ? value - 0x100000000LL
                                         : value > 0x7F ? value - 0x100
                                                        : value);
            if (displacement < 0) {
                text.back() = '-';
            }
            text += '$';
            appendHexByte(text, std::abs(displacement));
            continue;
        }
        text += '$';
        for (const char digit : digits) {
            text += digit >= 'a' && digit <= 'f' ? char(digit - 'a' + 'A') : digit;
        }
    }
}

// The address a JP, CALL, JR or DJNZ with an immediate operand leads to. Only the unprefixed
// opcodes jump so; a prefix before one changes nothing and is listed as a byte of its own.
std::optional<quint16> jumpTarget(const CodeInstruction& instruction) {
    if (instruction.data) {
        return std::nullopt;
    }
    const quint8 opcode = quint8(instruction.code[0]);
    const bool absolute = opcode == kJp || opcode == kCall || (opcode & 0xC7) == kJpConditional ||
                          (opcode & 0xC7) == kCallConditional;
    if (absolute && instruction.length == 3) {
        return quint16(quint8(instruction.code[1]) | quint8(instruction.code[2]) << 8);
    }
    const bool relative = opcode == kDjnz || opcode == kJr || (opcode & 0xE7) == kJrConditional;
    if (relative && instruction.length == 2) {
        return quint16(instruction.address + 2 + qint8(instruction.code[1]));
    }
    return std::nullopt;
}

void appendLineStart(std::string& text, const CodeInstruction& instruction) {
    appendHexByte(text, instruction.address >> 8);
    appendHexByte(text, instruction.address & 0xFF);
    text += "  ";
    const size_t bytesColumn = text.size();
    for (int i = 0; i < instruction.length; ++i) {
        if (i > 0) {
            text += ' ';
        }
        appendHexByte(text, quint8(instruction.code[i]));
    }
    text.resize(bytesColumn + CodeListing::kBytesColumnWidth, ' ');
    text += "  ";
}

} // namespace

CodeListing CodeListing::ofAddin(QByteArrayView image, const AddinHeader& header, bool toImageEnd,
                                 quint16 base) {
    if (!header.complete() || !header.isAddin()) {
        return {};
    }
    const int end = toImageEnd ? int(image.size()) : header.headSize + header.codeSize;
    return ofRange(image, header.headSize, end, base);
}

CodeListing CodeListing::ofRange(QByteArrayView image, int first, int end, quint16 base) {
    CodeListing listing;
    listing.m_first = std::clamp(first, 0, int(image.size()));
    listing.m_end = std::clamp(end, listing.m_first, int(image.size()));
    // Room for the most instructions the range can hold, and lines of a typical length:
    // memory reserved but never written costs nothing, while growing would copy.
    const int mostInstructions = listing.m_end - listing.m_first;
    listing.m_instructions.reserve(mostInstructions);
    listing.m_text.reserve(qsizetype(mostInstructions) * kTypicalLineLength);

    char raw[kRawTextSize] = {};
    std::string line;
    int offset = listing.m_first;
    while (offset < listing.m_end) {
        DecodeWindow window{image, offset, listing.m_end,
                            quint16(base + (offset - listing.m_first)), 0};
        int tStates = 0;
        int tStatesBranching = 0;
        const int decoded = z80ex_dasm(raw, kRawTextSize, 0, &tStates, &tStatesBranching, readByte,
                                       window.address, &window);
        // z80ex counts DD CB and FD CB instructions one byte too long; no instruction is
        // longer than the bytes read to decode it.
        int length = std::max(1, std::min(decoded, window.furthest));
        const std::string_view rawText(raw);
        const quint8 lead = quint8(image[offset]);
        // A DD or FD prefix before an instruction without IX or IY changes nothing: it is a
        // byte of its own, and the instruction after it starts at the next byte.
        const bool idlePrefix = (lead == kIxPrefix || lead == kIyPrefix) &&
                                rawText.find("IX") == std::string_view::npos &&
                                rawText.find("IY") == std::string_view::npos;
        if (idlePrefix) {
            length = 1;
        }
        CodeInstruction& instruction = listing.m_instructions.emplace_back();
        instruction.offset = offset;
        instruction.address = window.address;
        const bool cutOff = offset + length > listing.m_end;
        instruction.length =
            quint8(std::min({length, listing.m_end - offset, CodeInstruction::kMaxLength}));
        std::copy_n(image.data() + offset, instruction.length, instruction.code.begin());
        // Each line is written as Latin-1 first and added to the text in one step.
        line.clear();
        appendLineStart(line, instruction);
        // z80ex marks an opcode that does nothing ("NOP*") with a star.
        instruction.data = idlePrefix || cutOff || rawText.ends_with('*');
        if (instruction.data) {
            appendDataBytes(line, instruction.bytes());
        } else {
            appendStyled(line, rawText);
        }
        instruction.lineStart = int(listing.m_text.size());
        instruction.lineLength = int(line.size());
        line += '\n';
        listing.m_text += QLatin1StringView(line.data(), qsizetype(line.size()));
        offset += instruction.length;
    }
    listing.findTargets(base);
    return listing;
}

void CodeListing::findTargets(quint16 base) {
    for (CodeInstruction& instruction : m_instructions) {
        if (const auto address = jumpTarget(instruction)) {
            // The addresses run on from `base` and wrap at 64 KiB, as the Z80's do.
            const int offset = m_first + quint16(*address - base);
            instruction.target = offset < m_end ? offset : -1;
        }
    }
    for (const CodeInstruction& instruction : std::as_const(m_instructions)) {
        if (instruction.target >= 0) {
            m_instructions[indexAt(instruction.target)].labelled = true;
        }
    }
}

std::optional<ByteRange> CodeListing::targetOf(int index) const {
    const int target = m_instructions.at(index).target;
    if (target < 0) {
        return std::nullopt;
    }
    return ByteRange{target, m_instructions.at(indexAt(target)).end() - target};
}

int CodeListing::indexAt(int offset) const {
    if (offset < m_first || offset >= m_end) {
        return -1;
    }
    const auto after = std::upper_bound(
        m_instructions.cbegin(), m_instructions.cend(), offset,
        [](int wanted, const CodeInstruction& instruction) { return wanted < instruction.offset; });
    return int(after - m_instructions.cbegin()) - 1;
}

QStringView CodeListing::line(int index) const {
    const CodeInstruction& instruction = m_instructions.at(index);
    return QStringView(m_text).sliced(instruction.lineStart, instruction.lineLength);
}

QStringView CodeListing::instructionText(int index) const {
    return line(index).sliced(kTextColumn);
}

QString CodeListing::labelName(quint16 address) {
    QString name(5, QLatin1Char('L'));
    for (int i = 0; i < 4; ++i) {
        name[4 - i] = QLatin1Char(kHexDigits[(address >> (4 * i)) & 0x0F]);
    }
    return name;
}

void CodeListing::appendLabelledInstruction(QString& text, int index) const {
    const CodeInstruction& instruction = m_instructions.at(index);
    const QStringView plain = instructionText(index);
    if (instruction.target < 0) {
        text += plain;
        return;
    }
    text += plain.chopped(kTargetTextLength);
    const CodeInstruction& holder = m_instructions.at(indexAt(instruction.target));
    text += labelName(holder.address);
    if (const int into = instruction.target - holder.offset; into > 0) {
        text += QLatin1Char('+');
        text += QLatin1Char(char('0' + into));
    }
}

QString CodeListing::labelledInstructionText(int index) const {
    QString text;
    appendLabelledInstruction(text, index);
    return text;
}

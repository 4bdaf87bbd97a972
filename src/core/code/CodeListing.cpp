// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeListing.h"

#include "AddinHeader.h"
#include "CodePadding.h"
#include "NumberForm.h"
#include "Z80Decoder.h"
#include "Z80Opcodes.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

// A jump's target ends its text: "$" and four digits.
constexpr int kTargetTextLength = 5;
// The columns and most instructions, with a line feed.
constexpr int kTypicalLineLength = CodeListing::kTextColumn + 16 + 1;

void appendHexByte(std::string& text, int value) {
    text += NumberForm::hexDigit(value >> 4);
    text += NumberForm::hexDigit(value);
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
    if (instruction.data || instruction.padding) {
        return std::nullopt;
    }
    if (const auto target = Z80Decoder::absoluteTarget(instruction.bytes())) {
        return target;
    }
    if (Z80Opcodes::isRelativeJump(quint8(instruction.code[0])) && instruction.length == 2) {
        return quint16(instruction.address + 2 + qint8(instruction.code[1]));
    }
    return std::nullopt;
}

void appendAddress(std::string& text, quint16 address) {
    appendHexByte(text, address >> 8);
    appendHexByte(text, address & 0xFF);
    text += "  ";
}

void appendLineStart(std::string& text, const CodeInstruction& instruction) {
    appendAddress(text, instruction.address);
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

// "8009  00 ...       .ds $1DF7,$00": the run's first byte, and its length.
void appendPaddingLine(std::string& text, const CodeInstruction& run) {
    appendAddress(text, run.address);
    const size_t bytesColumn = text.size();
    appendHexByte(text, quint8(run.code[0]));
    if (run.length > 1) {
        text += " ...";
    }
    text.resize(bytesColumn + CodeListing::kBytesColumnWidth, ' ');
    text += "  .ds $";
    for (int shift = 12; shift >= 0; shift -= 4) {
        text += NumberForm::hexDigit(run.length >> shift);
    }
    text += ",$";
    appendHexByte(text, quint8(run.code[0]));
}

} // namespace

CodeListing CodeListing::ofAddin(QByteArrayView image, const AddinHeader& header, bool toImageEnd,
                                 quint16 base) {
    if (!header.complete() || !header.isAddin()) {
        return {};
    }
    const int end = toImageEnd ? int(image.size()) : header.headSize + header.codeSize;
    const CodePadding padding = CodePadding::of(image, header);
    const int codeEnd = padding.padded() ? std::min(padding.codeEnd, end) : end;
    CodeListing listing;
    listing.m_first = header.headSize;
    listing.decode(image, codeEnd, base);
    const int zerosEnd = std::min(codeEnd + padding.zeros, end);
    listing.appendPadding(image, zerosEnd - codeEnd, base);
    listing.appendPadding(image, end - zerosEnd, base);
    listing.m_end = end;
    if (!listing.isEmpty()) {
        listing.m_instructions.first().labelled = true;
    }
    listing.findTargets(base);
    return listing;
}

CodeListing CodeListing::ofRange(QByteArrayView image, int first, int end, quint16 base) {
    CodeListing listing;
    listing.m_first = std::clamp(first, 0, int(image.size()));
    listing.decode(image, std::clamp(end, listing.m_first, int(image.size())), base);
    listing.findTargets(base);
    return listing;
}

void CodeListing::decode(QByteArrayView image, int end, quint16 base) {
    m_end = end;
    // Room for the most instructions the range can hold (and two runs of padding), and lines of
    // a typical length: memory reserved but never written costs nothing, while growing would
    // copy.
    const int mostInstructions = m_end - m_first + 2;
    m_instructions.reserve(mostInstructions);
    m_text.reserve(qsizetype(mostInstructions) * kTypicalLineLength);

    Z80Decoder decoder;
    std::string line;
    int offset = m_first;
    while (offset < m_end) {
        const auto address = quint16(base + (offset - m_first));
        const Z80Decoder::Step step = decoder.at(image, offset, m_end, address);
        CodeInstruction& instruction = m_instructions.emplace_back();
        instruction.offset = offset;
        instruction.address = address;
        instruction.length = std::min(step.length, CodeInstruction::kMaxLength);
        instruction.data = step.data;
        std::copy_n(image.data() + offset, instruction.length, instruction.code.begin());
        // Each line is written as Latin-1 first and added to the text in one step.
        line.clear();
        appendLineStart(line, instruction);
        if (instruction.data) {
            appendDataBytes(line, instruction.bytes());
        } else {
            appendStyled(line, step.text);
        }
        instruction.lineStart = int(m_text.size());
        instruction.lineLength = int(line.size());
        line += '\n';
        m_text += QLatin1StringView(line.data(), qsizetype(line.size()));
        offset += instruction.length;
    }
}

void CodeListing::appendPadding(QByteArrayView image, int length, quint16 base) {
    if (length <= 0) {
        return;
    }
    CodeInstruction& run = m_instructions.emplace_back();
    run.offset = m_end;
    run.address = quint16(base + (m_end - m_first));
    run.length = length;
    run.padding = true;
    std::copy_n(image.data() + m_end, std::min(length, CodeInstruction::kMaxLength),
                run.code.begin());
    std::string line;
    appendPaddingLine(line, run);
    run.lineStart = int(m_text.size());
    run.lineLength = int(line.size());
    line += '\n';
    m_text += QLatin1StringView(line.data(), qsizetype(line.size()));
    m_end += length;
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
        name[4 - i] = QLatin1Char(NumberForm::hexDigit(address >> (4 * i)));
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
    // In hexadecimal, as the listing writes every other number: "L801A+$4F".
    if (const int into = instruction.target - holder.offset; into > 0) {
        text += QLatin1String("+$");
        text += QString::number(into, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
}

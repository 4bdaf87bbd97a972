// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeListing.h"

#include "AddinHeader.h"
#include "CodePadding.h"
#include "DataLines.h"
#include "ListingText.h"
#include "NumberForm.h"
#include "Z80Decoder.h"
#include "Z80Opcodes.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace {

// A jump's target, or the address an operand names: "$" and four digits.
constexpr int kAddressTextLength = 5;
// The columns and most instructions, with a line feed.
constexpr int kTypicalLineLength = CodeListing::kTextColumn + 16 + 1;
constexpr int kLongestByteDistance = 0xFF;

// The address a JP, CALL, JR or DJNZ with an immediate operand leads to. Only the unprefixed
// opcodes jump so; a prefix before one changes nothing and is listed as a byte of its own.
std::optional<quint16> jumpTarget(const CodeInstruction& instruction) {
    if (instruction.data) {
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

// Where `address` stands as "$9113" in a line's instruction, or -1.
int columnOf(const std::string& line, quint16 address) {
    const std::array<char, kAddressTextLength> wanted = {
        '$', NumberForm::hexDigit(address >> 12), NumberForm::hexDigit(address >> 8),
        NumberForm::hexDigit(address >> 4), NumberForm::hexDigit(address)};
    const size_t at = std::string_view(line).find(std::string_view(wanted.data(), wanted.size()),
                                                  CodeListing::kTextColumn);
    return at == std::string::npos ? -1 : int(at) - CodeListing::kTextColumn;
}

// Where a header-complete add-in's listed code ends, and its padding, if any, starts.
struct AddinRange {
    int end = 0;
    int codeEnd = 0;
};

AddinRange rangeOf(QByteArrayView image, const AddinHeader& header, bool toImageEnd) {
    const int end = toImageEnd ? int(image.size()) : header.headSize + header.codeSize;
    const CodePadding padding = CodePadding::of(image, header);
    return {end, padding.padded() ? std::min(padding.codeEnd, end) : end};
}

} // namespace

CodeListing CodeListing::ofMap(QByteArrayView image, const CodeMap& map) {
    CodeListing listing;
    listing.m_map = map;
    listing.m_names = map.labelNames();
    listing.m_first = listing.m_end = map.firstOffset();
    const int size = map.endOffset() - map.firstOffset();
    listing.m_instructions.reserve(size / 2 + 2);
    listing.m_text.reserve(qsizetype(size / 2 + 2) * kTypicalLineLength);
    // A label or a comment starts a line of data.
    QList<int> breaks;
    breaks.reserve(map.labels().size() + map.commentOffsets().size());
    for (const CodeLabel& label : map.labels()) {
        breaks.append(label.offset);
    }
    if (!map.commentOffsets().isEmpty()) {
        breaks += map.commentOffsets();
        std::sort(breaks.begin(), breaks.end());
    }
    for (const CodeRange& range : map.ranges()) {
        if (range.kind == CodeKind::Code) {
            listing.decode(image, range.start, range.end, map.base());
        } else {
            listing.appendData(image, range.kind, range.start, range.end, breaks);
        }
    }
    listing.m_end = map.endOffset();
    listing.m_bytes = image.sliced(listing.m_first, size).toByteArray();
    listing.markLabels();
    return listing;
}

CodeListing CodeListing::ofAddin(QByteArrayView image, const AddinHeader& header, bool toImageEnd,
                                 quint16 base) {
    return ofMap(image, CodeMap::of(image, header, {}, toImageEnd, base));
}

CodeListing CodeListing::linear(QByteArrayView image, const AddinHeader& header, bool toImageEnd,
                                quint16 base) {
    if (!header.complete() || !header.isAddin()) {
        return {};
    }
    const AddinRange range = rangeOf(image, header, toImageEnd);
    CodeListing listing;
    listing.m_first = header.headSize;
    listing.m_names = CodeLabels(header.headSize, base);
    listing.decode(image, header.headSize, range.codeEnd, base);
    listing.appendData(image, CodeKind::Padding, range.codeEnd, range.end, {});
    listing.m_end = range.end;
    listing.m_bytes = image.sliced(listing.m_first, range.end - listing.m_first).toByteArray();
    if (!listing.isEmpty()) {
        listing.m_instructions.first().labelled = true;
    }
    listing.findTargets(base);
    return listing;
}

CodeListing CodeListing::ofRange(QByteArrayView image, int first, int end, quint16 base) {
    CodeListing listing;
    listing.m_first = std::clamp(first, 0, int(image.size()));
    listing.m_names = CodeLabels(listing.m_first, base);
    const int clipped = std::clamp(end, listing.m_first, int(image.size()));
    listing.decode(image, listing.m_first, clipped, base);
    listing.m_end = clipped;
    listing.m_bytes = image.sliced(listing.m_first, clipped - listing.m_first).toByteArray();
    listing.findTargets(base);
    return listing;
}

void CodeListing::appendLine(CodeInstruction& line, const std::string& text) {
    line.lineStart = int(m_text.size());
    // Each line is written as Latin-1 first and added to the text in one step.
    m_text += QLatin1StringView(text.data(), qsizetype(text.size()));
    const QList<int>& comments = m_map.commentOffsets();
    while (m_nextComment < comments.size() && comments.at(m_nextComment) < line.end()) {
        const int at = comments.at(m_nextComment++);
        if (at < line.offset) {
            continue;
        }
        if (line.commentColumn < 0) {
            line.commentColumn = int(m_text.size()) - line.lineStart - kTextColumn;
        }
        m_text += QLatin1String(" ; ");
        m_text += m_map.commentAt(at);
    }
    line.lineLength = int(m_text.size()) - line.lineStart;
    m_text += QLatin1Char('\n');
}

void CodeListing::decode(QByteArrayView image, int from, int end, quint16 base) {
    Z80Decoder decoder;
    std::string line;
    int offset = from;
    while (offset < end) {
        const auto address = quint16(base + (offset - m_first));
        const Z80Decoder::Step step = decoder.at(image, offset, end, address);
        CodeInstruction& instruction = m_instructions.emplace_back();
        instruction.offset = offset;
        instruction.address = address;
        instruction.length = std::min(step.length, CodeInstruction::kMaxLength);
        instruction.data = step.data;
        std::copy_n(image.data() + offset, instruction.length, instruction.code.begin());
        line.clear();
        ListingText::appendLineStart(line, address, instruction.bytes(), false);
        if (instruction.data) {
            ListingText::appendData(line, CodeKind::Bytes, instruction.bytes());
        } else {
            ListingText::appendStyled(line, step.text);
        }
        if (!instruction.data && !m_map.isEmpty()) {
            if (const CodeReference* reference = nextReference(offset)) {
                instruction.target = reference->to;
                instruction.operandColumn = columnOf(line, m_map.addressOf(reference->to));
            }
            if (const SystemCallSite* call = nextSystemCall(offset)) {
                line += " ; ";
                line += call->comment().toLatin1().toStdString();
            }
        }
        appendLine(instruction, line);
        offset += instruction.length;
    }
}

void CodeListing::appendData(QByteArrayView image, CodeKind kind, int from, int end,
                             const QList<int>& breaks) {
    std::string text;
    // The file offset that runs at an address that is a multiple of eight.
    const int aligned = from - (m_names.addressOf(from) & 7);
    for (const auto& [offset, length] : DataLines::split(image, kind, from, end, breaks, aligned)) {
        CodeInstruction& line = m_instructions.emplace_back();
        line.offset = offset;
        line.address = quint16(m_names.addressOf(offset));
        line.length = length;
        line.kind = kind;
        line.padding = kind == CodeKind::Padding;
        line.data = !line.padding;
        std::copy_n(image.data() + offset, std::min(length, CodeInstruction::kMaxLength),
                    line.code.begin());
        if (const CodeReference* reference = nextReference(offset)) {
            line.target = reference->to;
        }
        const QByteArrayView bytes = image.sliced(offset, length);
        text.clear();
        ListingText::appendLineStart(text, line.address, bytes, ListingText::isRun(kind, length));
        ListingText::appendData(text, kind, bytes);
        appendLine(line, text);
    }
}

const CodeReference* CodeListing::nextReference(int offset) {
    const QList<CodeReference>& references = m_map.references();
    while (m_nextReference < references.size() && references.at(m_nextReference).from < offset) {
        ++m_nextReference;
    }
    return m_nextReference < references.size() && references.at(m_nextReference).from == offset
               ? &references.at(m_nextReference)
               : nullptr;
}

const SystemCallSite* CodeListing::nextSystemCall(int offset) {
    const QList<SystemCallSite>& calls = m_map.systemCalls();
    while (m_nextCall < calls.size() && calls.at(m_nextCall).offset < offset) {
        ++m_nextCall;
    }
    return m_nextCall < calls.size() && calls.at(m_nextCall).offset == offset
               ? &calls.at(m_nextCall)
               : nullptr;
}

void CodeListing::findTargets(quint16 base) {
    for (int index = 0; index < m_instructions.size(); ++index) {
        CodeInstruction& instruction = m_instructions[index];
        if (instruction.padding) {
            continue;
        }
        if (const auto address = jumpTarget(instruction)) {
            // The addresses run on from `base` and wrap at 64 KiB, as the Z80's do.
            const int offset = m_first + quint16(*address - base);
            if (offset < m_end) {
                instruction.target = offset;
                instruction.operandColumn = int(instructionText(index).size()) - kAddressTextLength;
            }
        }
    }
    for (const CodeInstruction& instruction : std::as_const(m_instructions)) {
        if (instruction.target >= 0) {
            m_instructions[indexAt(instruction.target)].labelled = true;
        }
    }
}

void CodeListing::markLabels() {
    // Both in the order of their offsets.
    int index = 0;
    for (const CodeLabel& label : m_map.labels()) {
        while (index + 1 < m_instructions.size() &&
               m_instructions.at(index + 1).offset <= label.offset) {
            ++index;
        }
        if (index < m_instructions.size() && m_instructions.at(index).offset <= label.offset &&
            label.offset < m_instructions.at(index).end()) {
            m_instructions[index].labelled = true;
        }
    }
}

QByteArrayView CodeListing::bytesOf(int index) const {
    const CodeInstruction& line = m_instructions.at(index);
    return QByteArrayView(m_bytes).sliced(line.offset - m_first, line.length);
}

std::optional<ByteRange> CodeListing::targetOf(int index) const {
    const int target = m_instructions.at(index).target;
    const int holder = target < 0 ? -1 : indexAt(target);
    if (holder < 0) {
        return std::nullopt;
    }
    return ByteRange{target, m_instructions.at(holder).end() - target};
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

QStringView CodeListing::authorComment(int index) const {
    const int column = m_instructions.at(index).commentColumn;
    return column < 0 ? QStringView() : instructionText(index).sliced(column + 3);
}

QString CodeListing::labelName(quint16 address) {
    return CodeLabels::generatedName(address);
}

QString CodeListing::labelNameAt(int offset) const {
    return m_names.nameAt(offset);
}

// A name given inside an instruction has no label line of its own: the target is named from
// the instruction's start, as every label line is.
QString CodeListing::targetName(int target) const {
    const int holder = indexAt(target);
    const int lineStart = holder < 0 ? target : m_instructions.at(holder).offset;
    QString name = m_names.nameAt(lineStart);
    if (const int into = target - lineStart; into > 0) {
        name += QStringLiteral("+$");
        name += QString::number(into, 16).toUpper().rightJustified(
            into > kLongestByteDistance ? 4 : 2, QLatin1Char('0'));
    }
    return name;
}

void CodeListing::appendLabelledInstruction(QString& text, int index) const {
    const CodeInstruction& line = m_instructions.at(index);
    const QStringView plain = instructionText(index);
    const bool words = (line.kind == CodeKind::Words || line.kind == CodeKind::Pointers) &&
                       line.length % 2 == 0 && !m_map.isEmpty();
    if (words) {
        const QByteArrayView bytes = bytesOf(index);
        text += QLatin1String(".dw ");
        for (int i = 0; i < line.length; i += 2) {
            if (i > 0) {
                text += QLatin1Char(',');
            }
            const CodeReference* reference = m_map.referenceFrom(line.offset + i);
            if (reference && indexAt(reference->to) >= 0) {
                text += targetName(reference->to);
            } else {
                text += NumberForm::hexWord(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8);
            }
        }
        if (line.commentColumn >= 0) {
            text += plain.sliced(line.commentColumn);
        }
        return;
    }
    if (line.target < 0 || line.operandColumn < 0 || indexAt(line.target) < 0) {
        text += plain;
        return;
    }
    text += plain.first(line.operandColumn);
    text += targetName(line.target);
    text += plain.sliced(line.operandColumn + kAddressTextLength);
}

QString CodeListing::labelledInstructionText(int index) const {
    QString text;
    appendLabelledInstruction(text, index);
    return text;
}

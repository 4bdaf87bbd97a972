// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListingText.h"

#include "NumberForm.h"
#include "TextRun.h"

#include <cstdlib>
#include <utility>

namespace {

// The bytes column is as wide as the longest instruction, "DD CB 05 46".
constexpr size_t kBytesColumnWidth = 11;
constexpr int kMostBytesShown = 4;
constexpr int kBytesShownOfLonger = 2;

void appendList(std::string& text, const char* directive, QByteArrayView bytes, int size) {
    text += directive;
    for (qsizetype i = 0; i < bytes.size(); i += size) {
        if (i > 0) {
            text += ',';
        }
        if (size == 2) {
            ListingText::appendHexWord(text, quint8(bytes[i]) | quint8(bytes[i + 1]) << 8);
        } else {
            text += '$';
            ListingText::appendHexByte(text, quint8(bytes[i]));
        }
    }
}

} // namespace

namespace ListingText {

void appendHexByte(std::string& text, int value) {
    text += NumberForm::hexDigit(value >> 4);
    text += NumberForm::hexDigit(value);
}

void appendHexWord(std::string& text, int value) {
    text += '$';
    appendHexByte(text, value >> 8);
    appendHexByte(text, value & 0xFF);
}

// z80ex writes upper case, numbers as "#hex" ("0x" after RST), a negative index displacement
// as "+#FFFFFFFB", a few instructions with underscores, and the undocumented copies of an
// indexed rotation as "LD B,RLC (IX+#05)".
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

bool isRun(CodeKind kind, int length) {
    return kind == CodeKind::Padding || (kind == CodeKind::Bytes && length > kMostBytesShown * 2);
}

void appendLineStart(std::string& text, quint16 address, QByteArrayView bytes, bool run) {
    appendHexByte(text, address >> 8);
    appendHexByte(text, address & 0xFF);
    text += "  ";
    const size_t bytesColumn = text.size();
    const qsizetype shown = run                              ? 1
                            : bytes.size() > kMostBytesShown ? kBytesShownOfLonger
                                                             : bytes.size();
    for (qsizetype i = 0; i < shown; ++i) {
        if (i > 0) {
            text += ' ';
        }
        appendHexByte(text, quint8(bytes[i]));
    }
    if (shown < bytes.size()) {
        text += " ...";
    }
    text.resize(bytesColumn + kBytesColumnWidth, ' ');
    text += "  ";
}

void appendData(std::string& text, CodeKind kind, QByteArrayView bytes) {
    if (isRun(kind, int(bytes.size()))) {
        text += ".ds $";
        for (int shift = 12; shift >= 0; shift -= 4) {
            text += NumberForm::hexDigit(int(bytes.size()) >> shift);
        }
        text += ",$";
        appendHexByte(text, quint8(bytes[0]));
    } else if (kind == CodeKind::Text && TextRun::quotable(bytes[0])) {
        text += ".dm \"";
        text.append(bytes.data(), size_t(bytes.size()));
        text += '"';
    } else if ((kind == CodeKind::Words || kind == CodeKind::Pointers) && bytes.size() % 2 == 0) {
        appendList(text, ".dw ", bytes, 2);
    } else {
        appendList(text, ".db ", bytes, 1);
    }
}

} // namespace ListingText

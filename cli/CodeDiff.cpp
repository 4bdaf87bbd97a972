// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeDiff.h"

#include "AddinHeader.h"
#include "CodeAddress.h"
#include "NumberForm.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <string_view>
#include <utility>

namespace CodeDiff {

namespace {

// The most a run takes: a line (two offsets, an address, a length, two sides of 16 bytes and
// "+8999 more"), or a JSON object of six members; and the tail, and the lines around them. A run
// by position takes less: one offset, and at most five members.
constexpr qsizetype kMostPerRunLine = 192;
constexpr qsizetype kMostPerRunObject = 320;
constexpr qsizetype kMostAroundRuns = 1024;

// ASCII written into a buffer sized for the most it can take, without a check a character:
// thousands of runs make the output, and a Makefile runs diff often.
class AsciiText {
public:
    explicit AsciiText(qsizetype most) : m_bytes(most, Qt::Uninitialized), m_at(m_bytes.data()) {}

    void put(char c) { *m_at++ = c; }
    void put(std::string_view text) { m_at = std::copy(text.begin(), text.end(), m_at); }
    void spaces(qsizetype count) { m_at = std::fill_n(m_at, std::max<qsizetype>(0, count), ' '); }

    void hexByte(int value) {
        put(NumberForm::hexDigit(value >> 4));
        put(NumberForm::hexDigit(value));
    }
    // "$00CD"
    void hexWord(int value) {
        put('$');
        hexByte((value >> 8) & 0xFF);
        hexByte(value & 0xFF);
    }
    // The run's length, right-justified, and the word: "   1 byte   ", "  20 bytes  ".
    void lengthColumns(int length) {
        number(length, 4);
        put(length == 1 ? " byte   " : " bytes  ");
    }
    // `value` in decimal, right-justified to `width` characters.
    void number(int value, int width = 0) {
        char digits[12];
        const auto written = std::to_chars(std::begin(digits), std::end(digits), value);
        spaces(width - (written.ptr - std::begin(digits)));
        m_at = std::copy(std::begin(digits), written.ptr, m_at);
    }
    // The first 16 bytes at most, "2D 2E 2F".
    void shownBytes(QByteArrayView image, const ByteRange& range) {
        const int shown = qMin(range.length, kBytesShown);
        for (int i = 0; i < shown; ++i) {
            if (i > 0) {
                put(' ');
            }
            hexByte(quint8(image[range.start + i]));
        }
    }
    // The shown bytes and how many more: "2D 2E ... 3C +4 more".
    void sideBytes(QByteArrayView image, const ByteRange& range) {
        shownBytes(image, range);
        if (range.length > kBytesShown) {
            put(" +");
            number(range.length - kBytesShown);
            put(" more");
        }
    }
    // `"key": ` at `indent` spaces; the caller writes the value and what ends the line.
    void key(int indent, std::string_view name) {
        spaces(indent);
        put('"');
        put(name);
        put("\": ");
    }
    void numberMember(int indent, std::string_view name, int value, bool last = false) {
        key(indent, name);
        number(value);
        put(last ? "\n" : ",\n");
    }
    void bytesMember(int indent, std::string_view name, QByteArrayView image,
                     const ByteRange& range) {
        key(indent, name);
        put('"');
        shownBytes(image, range);
        put("\",\n");
    }

    QByteArray take() {
        m_bytes.truncate(m_at - m_bytes.data());
        return std::move(m_bytes);
    }

private:
    QByteArray m_bytes;
    char* m_at;
};

// Where a byte of the code runs, `distance` bytes from its first, in both files.
int addressAt(int distance) {
    return quint16(CodeAddress::kFirstCodeAddress + distance);
}

// The tail only the longer file has, and whose it is: 'A' or 'B'.
std::pair<ByteRange, char> tailOf(const ComparedSection& code) {
    const ByteRange inA = code.thisOnly();
    return inA.isEmpty() ? std::pair{code.otherOnly(), 'B'} : std::pair{inA, 'A'};
}

bool hasTail(const ComparedSection& code) {
    return code.thisRange.length != code.otherRange.length;
}

} // namespace

QByteArray lines(const ComparedSection& code, QByteArrayView a, QByteArrayView b) {
    AsciiText text(code.runs.size() * kMostPerRunLine + kMostAroundRuns);
    for (const ComparedSection::Run& run : code.runs) {
        text.hexWord(run.thisStart);
        text.put(' ');
        text.hexWord(run.otherStart);
        text.put(" @");
        text.hexWord(addressAt(run.thisStart - code.thisRange.start));
        text.put(' ');
        text.lengthColumns(run.length);
        text.sideBytes(a, run.inThis());
        text.put(" | ");
        text.sideBytes(b, run.inOther());
        text.put('\n');
    }
    if (hasTail(code)) {
        const auto [tail, side] = tailOf(code);
        text.put("tail: only ");
        text.put(side);
        text.put(" has its last ");
        if (tail.length == 1) {
            text.put("byte");
        } else {
            text.number(tail.length);
            text.put(" bytes");
        }
        text.put(", from ");
        text.hexWord(tail.start);
        text.put(" (@");
        text.hexWord(addressAt(code.commonLength()));
        text.put("): ");
        text.sideBytes(side == 'A' ? a : b, tail);
        text.put('\n');
    }
    return text.take();
}

QByteArray json(const ComparedSection& code, QByteArrayView a, QByteArrayView b) {
    constexpr int kIndent = 8;
    constexpr int kInnerIndent = 12;
    constexpr int kRunIndent = 16;
    AsciiText text(code.runs.size() * kMostPerRunObject + kMostAroundRuns);
    text.put("{\n");
    text.numberMember(kIndent, "a_length", code.thisRange.length);
    text.numberMember(kIndent, "a_offset", code.thisRange.start);
    text.numberMember(kIndent, "b_length", code.otherRange.length);
    text.numberMember(kIndent, "b_offset", code.otherRange.start);
    text.key(kIndent, "runs");
    text.put("[\n");
    for (qsizetype i = 0; i < code.runs.size(); ++i) {
        const ComparedSection::Run& run = code.runs.at(i);
        text.spaces(kInnerIndent);
        text.put("{\n");
        text.bytesMember(kRunIndent, "a", a, run.inThis());
        text.numberMember(kRunIndent, "a_offset", run.thisStart);
        text.numberMember(kRunIndent, "address", addressAt(run.thisStart - code.thisRange.start));
        text.bytesMember(kRunIndent, "b", b, run.inOther());
        text.numberMember(kRunIndent, "b_offset", run.otherStart);
        text.numberMember(kRunIndent, "length", run.length, true);
        text.spaces(kInnerIndent);
        text.put(i + 1 < code.runs.size() ? "},\n" : "}\n");
    }
    text.spaces(kIndent);
    text.put(']');
    if (hasTail(code)) {
        const auto [tail, side] = tailOf(code);
        text.put(",\n");
        text.key(kIndent, "tail");
        text.put("{\n");
        text.numberMember(kInnerIndent, "address", addressAt(code.commonLength()));
        text.bytesMember(kInnerIndent, "bytes", side == 'A' ? a : b, tail);
        text.key(kInnerIndent, "file");
        text.put(side == 'A' ? "\"a\",\n" : "\"b\",\n");
        text.numberMember(kInnerIndent, "length", tail.length);
        text.numberMember(kInnerIndent, "offset", tail.start, true);
        text.spaces(kIndent);
        text.put('}');
    }
    text.put("\n    }");
    return text.take();
}

QByteArray positionLines(const ComparedSection& whole, QByteArrayView a, QByteArrayView b,
                         const AddinHeader& header) {
    AsciiText text(whole.runs.size() * kMostPerRunLine + kMostAroundRuns);
    for (const ComparedSection::Run& run : whole.runs) {
        text.hexWord(run.thisStart);
        text.put(' ');
        if (const auto address = CodeAddress::ofOffset(run.thisStart, header, int(a.size()))) {
            text.put('@');
            text.hexWord(*address);
        } else {
            text.spaces(6);
        }
        text.put(' ');
        text.lengthColumns(run.length);
        text.sideBytes(a, run.inThis());
        text.put(" | ");
        text.sideBytes(b, run.inOther());
        text.put('\n');
    }
    return text.take();
}

QByteArray positionJson(const ComparedSection& whole, QByteArrayView a, QByteArrayView b,
                        const AddinHeader& header) {
    constexpr int kIndent = 4;
    constexpr int kObjectIndent = 8;
    constexpr int kMemberIndent = 12;
    AsciiText text(whole.runs.size() * kMostPerRunObject + kMostAroundRuns);
    text.put("[\n");
    for (qsizetype i = 0; i < whole.runs.size(); ++i) {
        const ComparedSection::Run& run = whole.runs.at(i);
        text.spaces(kObjectIndent);
        text.put("{\n");
        text.bytesMember(kMemberIndent, "a", a, run.inThis());
        if (const auto address = CodeAddress::ofOffset(run.thisStart, header, int(a.size()))) {
            text.numberMember(kMemberIndent, "address", *address);
        }
        text.bytesMember(kMemberIndent, "b", b, run.inOther());
        text.numberMember(kMemberIndent, "length", run.length);
        text.numberMember(kMemberIndent, "offset", run.thisStart, true);
        text.spaces(kObjectIndent);
        text.put(i + 1 < whole.runs.size() ? "},\n" : "}\n");
    }
    text.spaces(kIndent);
    text.put(']');
    return text.take();
}

} // namespace CodeDiff

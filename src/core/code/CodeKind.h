// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// What a run of an add-in's code area holds: instructions, or one of the shapes of data that
// compiled and hand-written add-ins keep between their routines.
enum class CodeKind {
    Code,     // Z80 instructions
    Text,     // characters, with the bytes that end or break their lines
    Bytes,    // any other data
    Words,    // 16-bit values, low byte first
    Pointers, // 16-bit addresses of code or data, as a table of them
    Padding,  // the 00 and FF bytes after word 1's length
};

namespace CodeKinds {

// "code", "text", "bytes", "words", "pointers", "padding": the names `disasm --ranges` prints
// and a file of marks holds.
QString name(CodeKind kind);
// The kind a name stands for, in any case; nothing for any other text.
std::optional<CodeKind> parse(QStringView name);

} // namespace CodeKinds

// File offsets [start, end) of one kind.
struct CodeRange {
    int start = 0;
    int end = 0;
    CodeKind kind = CodeKind::Code;

    int length() const { return end - start; }
    bool holds(int offset) const { return offset >= start && offset < end; }
    bool operator==(const CodeRange&) const = default;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>

struct CodeInstruction;

// How AddinSource writes its lines, as Debian's z80asm and pasmo both read them: an indent,
// a directive or an instruction, a comment at column 40.
namespace SourceLines {

constexpr QByteArrayView kIndent = "        ";

// The listing's texts are ASCII.
void appendAscii(QByteArray& text, QStringView ascii);
// "$" and `digits` upper-case hexadecimal digits.
void appendHex(QByteArray& text, int value, int digits);
// "; comment" at the comment column of the line `text` ends in, or a space after it.
void appendComment(QByteArray& line, QByteArrayView comment);
// A text field as `defb` lines: runs of quotable bytes as strings, every other byte as a
// number; the comment goes on the first line.
void appendText(QByteArray& text, QByteArrayView bytes, QByteArrayView comment = {});
// "defb $3E,$05": the directive and the bytes, without the line's end.
void appendBytes(QByteArray& text, QByteArrayView bytes);
// Whether both assemblers turn an instruction's text back into exactly its bytes.
bool spelledAlike(const CodeInstruction& instruction, QStringView text);

} // namespace SourceLines

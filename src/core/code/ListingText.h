// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeKind.h"

#include <QByteArrayView>
#include <QtGlobal>

#include <string>
#include <string_view>

// How the code listing writes its lines, in Latin-1 text:
//
//   8000  31 FF FF     ld sp,$FFFF
//   9113  52 65 ...    .dm "Restarting..."
//   9120  00           .db $00
//   9FE0  00 ...       .ds $0020,$00
//
// Lower-case mnemonics, numbers as "$" and upper-case hexadecimal digits.
namespace ListingText {

void appendHexByte(std::string& text, int value);
// "$" and four digits.
void appendHexWord(std::string& text, int value);
// z80ex's text of an instruction in Mobrin's style.
void appendStyled(std::string& text, std::string_view raw);
// Whether a data line of `kind` and `length` bytes is a run of one value, written `.ds`.
bool isRun(CodeKind kind, int length);
// The address and bytes columns and the gaps after them: all bytes of a line of at most
// four, else the first two and "...", the first alone for a run.
void appendLineStart(std::string& text, quint16 address, QByteArrayView bytes, bool run);
// A line of data in the listing's directives: `.dm "text"`, `.db $00,$0D`, `.dw $9113,$9121`,
// `.ds $0020,$00`.
void appendData(std::string& text, CodeKind kind, QByteArrayView bytes);

} // namespace ListingText

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct AddinHeader;

// A whole add-in as one Z80 assembler source that Debian's z80asm and pasmo both assemble
// back into the identical file:
//
//   ; The header
//           org $7F33                       ; so that the code starts at $8000
//           defb "ApplicationName:"
//           defb "Addin",$0D,$0A            ; class
//           ...                               name, description, two words, 32 icon rows
//   ; The code
//   L8000:
//           jp nz,L8000
//           defb $DD,$24                    ; inc ixh
//   ; The padding
//           defs $0CB0,$FF
//
// The header goes in as data, its texts as strings where both assemblers quote a byte alike;
// the code runs from $8000 to the end of the approximate code size, its jumps' targets named
// by label as in LabelledListing; the 0xFF tail is one fill. An instruction the two assemblers
// do not both spell back into its own bytes goes in as data, the instruction in a comment.
// The text is ASCII, each line ending in a line feed.
namespace AddinSource {

// Empty when `header` is not the complete header of an add-in.
QByteArray of(QByteArrayView image, const AddinHeader& header);
// The same, parsing the header itself.
QByteArray of(QByteArrayView image);

} // namespace AddinSource

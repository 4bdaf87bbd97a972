// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CodeMarks.h"

#include <QByteArray>
#include <QByteArrayView>

struct AddinHeader;
class CodeMap;

// A whole add-in as one Z80 assembler source that Debian's z80asm and pasmo both assemble
// back into the identical file, written so that an author can change the code and assemble
// it again:
//
//   ; The header
//           org $7F3D                       ; so that the code starts at $8000
//           defb "ApplicationName:"
//           defb "Addin",$0D,$0A            ; class
//           ...                               name, description
//           defw L9FDF-L8000                ; word 1: the code's length
//           ...                               word 2, 32 icon rows
//   ; The code
//   L8000:                                  ; $8000
//           ld hl,L9113
//           call L9EB4                      ; DS_DIALOG_CHECK_BOX_DRAW
//           defb $DD,$24                    ; inc ixh
//   L9113:                                  ; $9113
//           defm "Restarting..."
//           defb $00
//           defw L9113,L9121
//   L9FDF:                                  ; $9FDF
//   ; The padding
//           defs $2000-(L9FDF-L8000),$00
//
// The header goes in as data, its texts as strings where both assemblers quote a byte alike.
// The code runs from $8000 to the end of the approximate code size through its code map:
// instructions, and data as data (`defm`, `defb`, `defw`, `defs` for runs); every address in
// the add-in that the code uses (jump and call targets, data it loads the address of, reads
// or writes, tables of addresses) is named by its label, each label line with its address in
// a comment, so that inserted or removed instructions move them all. Where word 1 is the
// code's length and only padding follows, word 1 is the code's end minus its start and the
// first run of padding takes up the rest, so that the file keeps its length; any other word 1
// stays a number. An instruction the two assemblers do not both spell back into its own bytes
// goes in as data, the instruction in a comment. What an author marked is kept: the kinds
// given, the names given in place of the generated ones, and the author's comments on the
// lines of their addresses. The text is ASCII but for those comments (UTF-8), each line ending
// in a line feed.
namespace AddinSource {

// Empty when `header` is not the complete header of an add-in. With `addresses`, every line
// of the code and the padding has its address in a comment.
QByteArray of(QByteArrayView image, const AddinHeader& header, bool addresses = false,
              const CodeMarks& marks = {});
// The same, parsing the header itself.
QByteArray of(QByteArrayView image);
// The same through a given map of the code (its ranges and label names), which must be the
// map of `image` to the end of its approximate code size.
QByteArray ofMap(QByteArrayView image, const AddinHeader& header, const CodeMap& map,
                 bool addresses = false);

} // namespace AddinSource

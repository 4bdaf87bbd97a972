// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinParts.h"

#include <QByteArray>
#include <QString>

// The header of an unpacked add-in as a small JSON file an author can edit:
//
//   {
//       "class": "Addin",
//       "name": "Clock",
//       "description": "Shows time",
//       "word1": 4660,
//       "word2": 0,
//       "file_length": 8192,
//       "addin_asm_sha256": "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"
//   }
//
// Texts are the fields decoded from Windows-1252; "byte_after_class_cr" and
// "byte_after_name_cr" appear only when that byte is not a line feed (10). The last key is not
// the header's: the SHA-256 of the assembler source written beside it, so that a later change
// of that source shows, whatever the files' times say.
namespace HeaderJson {

// diff names the two bytes by these keys too.
inline const QString kAfterClassReturn = QStringLiteral("byte_after_class_cr");
inline const QString kAfterNameReturn = QStringLiteral("byte_after_name_cr");
inline const QString kSourceDigest = QStringLiteral("addin_asm_sha256");

// What header.json may hold beside the header's fields.
struct Extras {
    bool hasFileLength = false;
    QByteArray sourceDigest; // 64 lower-case hexadecimal digits; empty when not given
};

// Every field of `parts` but the icon and the code, in the order above; the source's digest
// (as `sourceDigest` gives it) when there is one.
QByteArray write(const AddinParts& parts, const QByteArray& sourceDigest = {});

// Sets the fields `json` names on `parts`; the others keep what `parts` holds. "name" must be
// there; a word may also be a string in the command line's forms ("$1FDF", "0x1FDF"); without
// "file_length" the length is left to the caller. Returns one sentence naming the first
// problem (not JSON, an unknown key, a key given twice, a value of the wrong kind or out of
// range, a text that cannot be stored, half a surrogate pair named as written), or nothing.
QString read(const QByteArray& json, AddinParts& parts, Extras& extras);

// The SHA-256 of `source` as header.json writes it.
QByteArray sourceDigest(QByteArrayView source);

} // namespace HeaderJson

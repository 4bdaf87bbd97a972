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
//       "file_length": 8192
//   }
//
// Texts are the fields decoded from Windows-1252; "byte_after_class_cr" and
// "byte_after_name_cr" appear only when that byte is not a line feed (10).
namespace HeaderJson {

// diff names the two bytes by these keys too.
inline const QString kAfterClassReturn = QStringLiteral("byte_after_class_cr");
inline const QString kAfterNameReturn = QStringLiteral("byte_after_name_cr");

// Every field of `parts` but the icon and the code, in the order above.
QByteArray write(const AddinParts& parts);

// Sets the fields `json` names on `parts`; the others keep what `parts` holds. "name" must be
// there; a word may also be a string in the command line's forms ("$1FDF", "0x1FDF"); without
// "file_length" the length is left to the caller. Returns one sentence naming the first
// problem (not JSON, an unknown key, a key given twice, a value of the wrong kind or out of
// range, a text that cannot be stored, half a surrogate pair named as written), or nothing.
QString read(const QByteArray& json, AddinParts& parts, bool& hasFileLength);

} // namespace HeaderJson

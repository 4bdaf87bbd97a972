// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <optional>

// Windows-1252 with its five unassigned bytes mapped to the C1 control characters of the
// same number, so that every byte maps to exactly one character and back. Header text,
// patches and the dump's temporary files all go through this one table.
namespace CodePage {

QChar toChar(quint8 byte);
std::optional<quint8> toByte(QChar ch);

QString decode(QByteArrayView bytes);

// The first character of `text` that has no single-byte code, if any, as a whole code
// point (an emoji comes back as its surrogate pair, not half of it).
std::optional<QString> firstUnencodable(const QString& text);

// Encodes `text`; characters without a single-byte code become '?'. Callers that must not
// lose text check firstUnencodable() first.
QByteArray encode(const QString& text);

} // namespace CodePage

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

class AddinDocument;

// What the byte at one file offset is, every way a reader of an add-in asks: where it lies
// (file offset, dump offset, the code address it runs at, the header field holding it), its
// value as 8 and 16 bits, signed and unsigned, both byte orders, in binary, as a character,
// and the Z80 instruction that starts there. The data inspector shows one of these.
struct ByteReadout {
    // The values the inspector lets the user type over.
    enum class Value { Unsigned8, Signed8, Little16, Big16 };

    int offset = 0;
    std::optional<int> dumpOffset;      // when the dump starts elsewhere than the file
    std::optional<quint16> codeAddress; // the byte is code: where it runs
    QString field;                      // "word 1", "icon row 5", "code", ...
    std::optional<quint8> byte;         // nothing past the end
    std::optional<quint16> little16;    // this byte and the next, least significant first
    std::optional<quint16> big16;       // this byte and the next, most significant first
    QString character;                  // the byte as a Windows-1252 character, or its kind
    QString instruction;                // the Z80 instruction from here, in code only

    // The byte at file offset `offset` of the document; `dumpStart` is the file offset of the
    // dump's first byte.
    static ByteReadout at(const AddinDocument& document, int offset, int dumpStart);
    // The header field that holds the byte at `offset`, as the inspector names it.
    static QString fieldAt(const AddinDocument& document, int offset);

    // The value as the inspector's field shows it (decimal); empty where there is none.
    QString valueText(Value value) const;
    QString binaryText() const;
    // The bytes `typed` (decimal, or hexadecimal after "$" or "0x", a "-" before a signed
    // value) stands for as `value`; or the sentence why it cannot be written.
    static std::variant<QByteArray, QString> bytesFor(Value value, const QString& typed);
    // How many bytes `value` covers.
    static int width(Value value);
};

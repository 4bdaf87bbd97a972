// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinFileWriter.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr char kSignature[] = "ApplicationName:";
constexpr int kIconBytes = 160;

void appendLine(QByteArray& bytes, const QByteArray& text) {
    bytes += text;
    bytes += '\r';
    bytes += '\n';
}

void appendWord(QByteArray& bytes, quint16 word) {
    bytes += char(word & 0xFF); // low byte first
    bytes += char(word >> 8);
}

// A sample that breaks the format it is meant to show is a bug in this tool: stop loudly.
void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "mobrin-samplegen: %s\n", what);
        std::exit(2);
    }
}

} // namespace

QByteArray AddinFileWriter::addinBytes() const {
    require(!classText.contains('\r'), "a class text cannot hold a carriage return");
    require(!name.contains('\r'), "a name cannot hold a carriage return");
    require(!description.contains('\0'), "a description cannot hold a zero byte");
    require(icon.size() == kIconBytes, "an icon has exactly 160 bytes");

    QByteArray bytes(kSignature);
    appendLine(bytes, classText);
    appendLine(bytes, name);
    bytes += description;
    bytes += '\0';
    appendWord(bytes, word1);
    appendWord(bytes, word2);
    bytes += icon;
    bytes += code;
    return padded(bytes);
}

QByteArray AddinFileWriter::classLineOnlyBytes() const {
    require(!classText.contains('\r'), "a class text cannot hold a carriage return");
    QByteArray bytes(kSignature);
    appendLine(bytes, classText);
    bytes += code;
    return padded(bytes);
}

QByteArray AddinFileWriter::padded(QByteArray bytes) const {
    require(padTo == 0 || bytes.size() <= padTo, "the contents are longer than the padding");
    if (bytes.size() < padTo) {
        bytes.append(padTo - bytes.size(), char(0xFF));
    }
    return bytes;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilePath.h"

#include <QFile>
#include <QStringList>

#include <dirent.h>

namespace {

constexpr char16_t kKeptByteBase = 0xDC00;
constexpr char16_t kFirstKeptByte = 0xDC80;
constexpr char16_t kLastKeptByte = 0xDCFF;

// The length of the UTF-8 sequence that starts at `at`, with its code point; 0 when the
// bytes there are not strict UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
int sequenceAt(QByteArrayView bytes, qsizetype at, char32_t& code) {
    const auto lead = quint8(bytes[at]);
    int length = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        smallest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        const auto next = quint8(bytes[at + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < smallest || code > 0x10FFFF || surrogate ? 0 : length;
}

void appendUtf8(QByteArray& out, char32_t code) {
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

// Whether `folder` holds an entry that Qt reads as `name` but whose bytes are not the ones
// `name` stands for. A folder that cannot be listed may hold one.
bool hasTwin(const QString& folder, const QString& name) {
    DIR* listing = ::opendir(FilePath::toBytes(folder).constData());
    if (listing == nullptr) {
        return true;
    }
    const QByteArray exact = FilePath::toBytes(name);
    bool twin = false;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray entryName(entry->d_name);
        if (entryName != exact && QFile::decodeName(entryName) == name) {
            twin = true;
            break;
        }
    }
    ::closedir(listing);
    return twin;
}

} // namespace

namespace FilePath {

QString fromBytes(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    qsizetype at = 0;
    while (at < bytes.size()) {
        const auto byte = quint8(bytes[at]);
        char32_t code = 0;
        if (byte < 0x80) {
            text.append(QChar(byte));
            ++at;
        } else if (const int length = sequenceAt(bytes, at, code);
                   length > 0 && code != char32_t(QChar::ReplacementCharacter)) {
            text.append(QString::fromUcs4(&code, 1));
            at += length;
        } else {
            text.append(QChar(char16_t(kKeptByteBase + byte)));
            ++at;
        }
    }
    return text;
}

QByteArray toBytes(const QString& path) {
    QByteArray bytes;
    bytes.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        // A pair first: its low half may fall in the range of the kept bytes.
        if (QChar::isHighSurrogate(unit) && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(unit, path[i + 1].unicode()));
            ++i;
        } else if (unit >= kFirstKeptByte && unit <= kLastKeptByte) {
            bytes.append(char(unit - kKeptByteBase));
        } else {
            appendUtf8(bytes, unit);
        }
    }
    return bytes;
}

bool namesExactly(const QString& path) {
    if (!path.contains(QChar::ReplacementCharacter)) {
        return true;
    }
    const QStringList parts = path.split(QLatin1Char('/'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!parts[i].contains(QChar::ReplacementCharacter)) {
            continue;
        }
        QString folder = parts.mid(0, i).join(QLatin1Char('/'));
        if (i == 0) {
            folder = QStringLiteral(".");
        } else if (folder.isEmpty()) {
            folder = QStringLiteral("/");
        }
        if (hasTwin(folder, parts[i])) {
            return false;
        }
    }
    return true;
}

} // namespace FilePath

// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderJson.h"

#include "CodePage.h"
#include "NumberForm.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const QString kClass = QStringLiteral("class");
const QString kName = QStringLiteral("name");
const QString kDescription = QStringLiteral("description");
const QString kWord1 = QStringLiteral("word1");
const QString kWord2 = QStringLiteral("word2");
const QString kFileLength = QStringLiteral("file_length");
using HeaderJson::kAfterClassReturn;
using HeaderJson::kAfterNameReturn;
using HeaderJson::kSourceDigest;

// One value as JSON text, escaped by Qt's own writer.
QByteArray jsonValue(const QJsonValue& value) {
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// A whole number from `low` to `high`; nothing for any other value.
std::optional<int> wholeNumber(const QJsonValue& value, int low, int high) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (number != std::floor(number) || number < low || number > high) {
        return std::nullopt;
    }
    return int(number);
}

std::optional<quint16> word(const QJsonValue& value) {
    if (value.isString()) {
        return NumberForm::parseWord(value.toString());
    }
    const auto number = wholeNumber(value, 0, 0xFFFF);
    return number ? std::optional<quint16>(quint16(*number)) : std::nullopt;
}

// The keys of the object `json` holds, in the order written and with every repeat: Qt's parser
// keeps one value of a key given twice, and would so choose silently between two names.
QStringList writtenKeys(const QByteArray& json) {
    QStringList keys;
    int depth = 0;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char byte = json[i];
        if (byte == '{' || byte == '[') {
            ++depth;
        } else if (byte == '}' || byte == ']') {
            --depth;
        } else if (byte == '"') {
            const qsizetype start = i;
            for (++i; i < json.size() && json[i] != '"'; ++i) {
                i += json[i] == '\\' ? 1 : 0;
            }
            qsizetype next = i + 1;
            while (next < json.size() && QByteArrayView(" \t\r\n").contains(json[next])) {
                ++next;
            }
            // In the outer object a text before a colon is a key; the parser reads its escapes.
            if (depth == 1 && next < json.size() && json[next] == ':') {
                const QByteArray array = '[' + json.mid(start, i + 1 - start) + ']';
                keys.append(QJsonDocument::fromJson(array).array().first().toString());
            }
        }
    }
    return keys;
}

// The first half of a UTF-16 pair without its other half in `text`, as `json` writes it
// ("\ud800"); nothing when there is none. Qt keeps it in the text, where it would show as "?".
std::optional<QString> loneSurrogate(const QString& text, const QByteArray& json) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (text[i].isSurrogate()) {
            const QString escape =
                QStringLiteral("\\u%1").arg(text[i].unicode(), 4, 16, QLatin1Char('0'));
            const QString written = QString::fromUtf8(json);
            const qsizetype at = written.indexOf(escape, 0, Qt::CaseInsensitive);
            return at >= 0 ? written.mid(at, escape.size()) : escape;
        }
    }
    return std::nullopt;
}

QString readText(const QJsonObject& object, const QString& key, AddinParts::Text which,
                 AddinParts& parts, const QByteArray& json) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) {
        return {};
    }
    if (!value.isString()) {
        return QStringLiteral("\"%1\" must be a text in double quotes").arg(key);
    }
    if (const auto half = loneSurrogate(value.toString(), json)) {
        return QStringLiteral("the %1 cannot hold %2: it is half of a UTF-16 surrogate pair, "
                              "without the other half")
            .arg(key, *half);
    }
    return parts.setText(which, value.toString());
}

QString readWord(const QJsonObject& object, const QString& key, quint16& into) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) {
        return {};
    }
    const auto parsed = word(value);
    if (!parsed) {
        return QStringLiteral("\"%1\" must be a number from 0 to 65535 (or a text such as "
                              "\"$1FDF\" or \"0x1FDF\")")
            .arg(key);
    }
    into = *parsed;
    return {};
}

QString readByte(const QJsonObject& object, const QString& key, quint8& into) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) {
        return {};
    }
    const auto parsed = wholeNumber(value, 0, 0xFF);
    if (!parsed) {
        return QStringLiteral("\"%1\" must be a number from 0 to 255").arg(key);
    }
    into = quint8(*parsed);
    return {};
}

QString readDigest(const QJsonObject& object, QByteArray& into) {
    const QJsonValue value = object.value(kSourceDigest);
    if (value.isUndefined()) {
        return {};
    }
    const QString text = value.toString();
    const bool hex = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return NumberForm::hexDigitValue(c.unicode()) >= 0;
    });
    if (!value.isString() || text.size() != 64 || !hex) {
        return QStringLiteral("\"%1\" must be a text of 64 hexadecimal digits, the SHA-256 of "
                              "addin.asm")
            .arg(kSourceDigest);
    }
    into = text.toLatin1().toLower();
    return {};
}

} // namespace

namespace HeaderJson {

QByteArray sourceDigest(QByteArrayView source) {
    return QCryptographicHash::hash(source, QCryptographicHash::Sha256).toHex();
}

QByteArray write(const AddinParts& parts, const QByteArray& sourceDigest) {
    QList<std::pair<QString, QJsonValue>> fields = {
        {kClass, CodePage::decode(parts.classText)},
        {kName, CodePage::decode(parts.name)},
        {kDescription, CodePage::decode(parts.description)},
        {kWord1, parts.word1},
        {kWord2, parts.word2},
        {kFileLength, parts.fileLength},
    };
    if (parts.afterClassReturn != AddinHeader::kLineFeed) {
        fields.append({kAfterClassReturn, parts.afterClassReturn});
    }
    if (parts.afterNameReturn != AddinHeader::kLineFeed) {
        fields.append({kAfterNameReturn, parts.afterNameReturn});
    }
    if (!sourceDigest.isEmpty()) {
        fields.append({kSourceDigest, QString::fromLatin1(sourceDigest)});
    }
    QByteArray json = "{\n";
    for (qsizetype i = 0; i < fields.size(); ++i) {
        json += "    " + jsonValue(fields[i].first) + ": " + jsonValue(fields[i].second);
        json += i + 1 < fields.size() ? ",\n" : "\n";
    }
    return json + "}\n";
}

QString read(const QByteArray& json, AddinParts& parts, Extras& extras) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        return QStringLiteral("not JSON: %1 at byte %2").arg(error.errorString()).arg(error.offset);
    }
    if (!document.isObject()) {
        return QStringLiteral("not a JSON object");
    }
    const QJsonObject object = document.object();
    const QStringList known = {kClass,       kName,       kDescription,      kWord1,
                               kWord2,       kFileLength, kAfterClassReturn, kAfterNameReturn,
                               kSourceDigest};
    for (const QString& key : object.keys()) {
        if (!known.contains(key)) {
            return QStringLiteral("unknown key \"%1\"").arg(key);
        }
    }
    const QStringList keys = writtenKeys(json);
    for (const QString& key : keys) {
        if (keys.count(key) > 1) {
            return QStringLiteral("the key \"%1\" is given more than once").arg(key);
        }
    }
    if (!object.contains(kName)) {
        return QStringLiteral("\"name\" is missing");
    }
    Extras found;
    found.hasFileLength = object.contains(kFileLength);
    int fileLength = parts.fileLength;
    if (found.hasFileLength) {
        const auto length = wholeNumber(object.value(kFileLength), 0, 0x7FFFFFFF);
        if (!length) {
            return QStringLiteral("\"file_length\" must be a whole number of bytes");
        }
        fileLength = *length;
    }
    // Everything goes into a copy first, so that a refused file leaves `parts` as it was.
    AddinParts read = parts;
    read.fileLength = fileLength;
    for (const QString& problem :
         {readText(object, kClass, AddinParts::Text::Class, read, json),
          readText(object, kName, AddinParts::Text::Name, read, json),
          readText(object, kDescription, AddinParts::Text::Description, read, json),
          readWord(object, kWord1, read.word1), readWord(object, kWord2, read.word2),
          readByte(object, kAfterClassReturn, read.afterClassReturn),
          readByte(object, kAfterNameReturn, read.afterNameReturn),
          readDigest(object, found.sourceDigest)}) {
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    parts = read;
    extras = found;
    return {};
}

} // namespace HeaderJson

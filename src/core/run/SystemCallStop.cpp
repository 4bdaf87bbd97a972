// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemCallStop.h"

#include "CodePage.h"
#include "NumberForm.h"

#include <algorithm>

namespace {

quint16 wordAt(QByteArrayView memory, quint16 address) {
    return quint16(quint8(memory[address]) | quint8(memory[quint16(address + 1)]) << 8);
}

// A byte a message may hold: printable Windows-1252, a tab or a line break.
bool isTextByte(quint8 byte) {
    return (byte >= 0x20 && byte != 0x7F) || byte == '\t' || byte == '\n' || byte == '\r';
}

bool isPrintableAscii(char byte) {
    return byte >= 0x20 && byte < 0x7F;
}

// The zero-terminated text at `address`, or nothing when the bytes there are not one: at least
// kMinTextLength of them, half of them printable ASCII, so that a pointer into other data is
// rarely taken for a text.
QString textAt(QByteArrayView memory, quint16 address) {
    QByteArray bytes;
    for (int i = 0; i < SystemCallStop::kMaxTextLength; ++i) {
        const auto byte = quint8(memory[quint16(address + i)]);
        if (byte == 0) {
            const auto plain = std::count_if(bytes.cbegin(), bytes.cend(), isPrintableAscii);
            return bytes.size() >= SystemCallStop::kMinTextLength && 2 * plain >= bytes.size()
                       ? CodePage::decode(bytes)
                       : QString();
        }
        if (!isTextByte(byte)) {
            return {};
        }
        bytes += char(byte);
    }
    return {};
}

} // namespace

SystemCallStop SystemCallStop::read(QByteArrayView memory, quint16 address) {
    SystemCallStop call;
    call.address = address;
    call.number = wordAt(memory, SystemCalls::kNumberAddress);
    for (int i = 0; i < kArgumentCount; ++i) {
        call.arguments[i] = wordAt(memory, quint16(SystemCalls::kFirstArgumentAddress + 2 * i));
        call.texts[i] = textAt(memory, call.arguments[i]);
    }
    if (call.number == SystemCalls::kExtended) {
        call.extendedNumber = call.arguments[0];
    }
    return call;
}

QString SystemCallStop::name() const {
    return extendedNumber ? SystemCalls::extendedName(*extendedNumber) : SystemCalls::name(number);
}

QString SystemCallStop::describe() const {
    return SystemCalls::describe(number, extendedNumber);
}

QString SystemCallStop::title() const {
    return QStringLiteral("System call ") + describe();
}

QString SystemCallStop::argumentsText() const {
    QString text;
    for (int i = 0; i < kArgumentCount; ++i) {
        if (i > 0) {
            text += QLatin1String(", ");
        }
        text += NumberForm::hexWord(arguments[i]);
        if (!texts[i].isEmpty()) {
            text += QLatin1Char(' ') + quoted(texts[i]);
        }
    }
    return text;
}

QString SystemCallStop::quoted(const QString& text) {
    QString quoted = QStringLiteral("\"");
    for (const QChar ch : text) {
        switch (ch.unicode()) {
        case '"':
            quoted += QLatin1String("\\\"");
            break;
        case '\\':
            quoted += QLatin1String("\\\\");
            break;
        case '\t':
            quoted += QLatin1String("\\t");
            break;
        case '\n':
            quoted += QLatin1String("\\n");
            break;
        case '\r':
            quoted += QLatin1String("\\r");
            break;
        default:
            if (ch.category() == QChar::Other_Control) {
                quoted +=
                    QStringLiteral("\\x") +
                    QString::number(ch.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0'));
            } else {
                quoted += ch;
            }
        }
    }
    return quoted + QLatin1Char('"');
}

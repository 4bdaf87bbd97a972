// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditCommands.h"

#include "AddinDocument.h"
#include "AppTitle.h"
#include "CodePage.h"
#include "DumpText.h"
#include "NumberForm.h"
#include "Prompts.h"

namespace {

QString quoted(const QString& text) {
    return QStringLiteral("\u201C") + text + QStringLiteral("\u201D");
}

const QString kNothingToWriteOver =
    QStringLiteral("The caret stands after the last byte: there is nothing to write over.");

QString counted(qsizetype bytes) {
    return bytes == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(bytes);
}

// The first whole character of `text` (a surrogate pair stays together).
QString firstCharacter(const QString& text) {
    return text.left(text.size() > 1 && text[0].isHighSurrogate() ? 2 : 1);
}

} // namespace

EditCommands::EditCommands(Prompts& prompts, AddinDocument& document, DumpState& dump)
    : m_prompts(prompts), m_document(document), m_dump(dump) {}

bool EditCommands::hasSelection() const {
    return !m_dump.selection().isEmpty();
}

int EditCommands::startOffset() const {
    return hasSelection() ? m_dump.selection().start : m_dump.caret();
}

QString EditCommands::write(int offset, const QByteArray& bytes, ByteEditCommand::Kind kind) {
    const int end = m_dump.shownRange().end();
    if (offset >= end) {
        return kNothingToWriteOver;
    }
    if (offset + bytes.size() > end) {
        return QStringLiteral("%1 from the caret would run %2 past the end of the add-in; "
                              "nothing was written.")
            .arg(counted(bytes.size()), counted(offset + bytes.size() - end));
    }
    m_document.replace(offset, bytes, kind);
    return {};
}

QString EditCommands::type(Pane pane, const QString& text) {
    if (!m_document.isLoaded() || text.isEmpty()) {
        return {};
    }
    const int offset = startOffset();
    const int nibble = hasSelection() ? 0 : m_dump.nibble();
    const QByteArray& image = m_document.image().bytes();
    if (offset >= m_dump.shownRange().end()) {
        return kNothingToWriteOver;
    }
    const auto old = quint8(image[offset]);
    quint8 byte = 0;
    if (pane == Pane::Hex) {
        const int digit = NumberForm::hexDigitValue(text[0].unicode());
        if (text.size() != 1 || digit < 0) {
            return QStringLiteral("Only hex digits, 0 to 9 and A to F, can be typed in the hex "
                                  "pane: %1 was not typed.")
                .arg(quoted(text));
        }
        byte = nibble == 0 ? quint8((digit << 4) | (old & 0x0F)) : quint8((old & 0xF0) | digit);
    } else {
        const QString character = firstCharacter(text);
        const std::optional<quint8> code =
            character.size() == 1 ? CodePage::toByte(character[0]) : std::nullopt;
        if (!code || !character[0].isPrint()) {
            return QStringLiteral("%1 has no code in Windows-1252: it was not typed.")
                .arg(quoted(character));
        }
        byte = *code;
    }
    m_document.replace(offset, QByteArray(1, char(byte)), ByteEditCommand::Kind::Typing);
    // The caret goes on: to the low digit, or to the next byte.
    if (pane == Pane::Hex && nibble == 0) {
        m_dump.setCaret(offset, offset, 1);
    } else {
        m_dump.setCaret(offset + 1, offset + 1, 0);
    }
    return {};
}

QString EditCommands::copyText(Pane pane) const {
    const QByteArrayView bytes = QByteArrayView(m_document.image().bytes())
                                     .sliced(m_dump.selection().start, m_dump.selection().length);
    return pane == Pane::Hex ? DumpText::hexText(bytes) : DumpText::asciiText(bytes);
}

QString EditCommands::copyHex() const {
    return DumpText::hexText(QByteArrayView(m_document.image().bytes())
                                 .sliced(m_dump.selection().start, m_dump.selection().length))
        .trimmed();
}

QString EditCommands::paste(Pane pane, const QString& text) {
    if (!m_document.isLoaded()) {
        return {};
    }
    QByteArray bytes;
    if (pane == Pane::Hex) {
        QString digits;
        for (const QChar ch : text) {
            if (ch.isSpace()) {
                continue;
            }
            if (NumberForm::hexDigitValue(ch.unicode()) < 0) {
                return QStringLiteral("The clipboard holds no hex bytes: %1 is not a hex digit. "
                                      "Nothing was pasted.")
                    .arg(quoted(firstCharacter(text.mid(text.indexOf(ch)))));
            }
            digits.append(ch);
        }
        if (digits.size() % 2 != 0) {
            return QStringLiteral("The clipboard's %1 hex digits make no whole number of bytes. "
                                  "Nothing was pasted.")
                .arg(digits.size());
        }
        bytes = QByteArray::fromHex(digits.toLatin1());
    } else {
        if (const std::optional<QString> unencodable = CodePage::firstUnencodable(text)) {
            return QStringLiteral("%1 has no code in Windows-1252. Nothing was pasted.")
                .arg(quoted(*unencodable));
        }
        bytes = CodePage::encode(text);
    }
    return pasteBytes(bytes);
}

QByteArray EditCommands::copyBytes() const {
    const ByteRange selection = m_dump.selection();
    return m_document.image().bytes().mid(selection.start, selection.length);
}

QString EditCommands::pasteBytes(const QByteArray& bytes) {
    if (!m_document.isLoaded()) {
        return {};
    }
    if (bytes.isEmpty()) {
        return QStringLiteral("The clipboard holds nothing to paste.");
    }
    const int offset = startOffset();
    QString refusal = write(offset, bytes, ByteEditCommand::Kind::Paste);
    if (refusal.isEmpty()) {
        const int after = offset + int(bytes.size());
        m_dump.setCaret(after, after);
    }
    return refusal;
}

QString EditCommands::fill() {
    if (!hasSelection()) {
        return QStringLiteral("Select the bytes to fill first.");
    }
    const ByteRange selection = m_dump.selection();
    const std::optional<QString> typed = m_prompts.askText(
        {appTitle(),
         QStringLiteral("Fill the %1 selected bytes with the byte (0 to 255, or $00 to $FF):")
             .arg(selection.length),
         QStringLiteral("$00")});
    if (!typed) {
        return {};
    }
    const auto value = ByteReadout::bytesFor(ByteReadout::Value::Unsigned8, *typed);
    if (const auto* refusal = std::get_if<QString>(&value)) {
        return *refusal + QStringLiteral(" Nothing was filled.");
    }
    return write(selection.start, QByteArray(selection.length, std::get<QByteArray>(value).front()),
                 ByteEditCommand::Kind::Fill);
}

void EditCommands::selectAll() {
    const ByteRange shown = m_dump.shownRange();
    m_dump.setCaret(shown.start, shown.end());
}

QString EditCommands::setValue(ByteReadout::Value value, const QString& typed) {
    if (!m_document.isLoaded()) {
        return {};
    }
    const auto bytes = ByteReadout::bytesFor(value, typed);
    if (const auto* refusal = std::get_if<QString>(&bytes)) {
        return *refusal;
    }
    return write(m_dump.selection().start, std::get<QByteArray>(bytes),
                 ByteEditCommand::Kind::SetValue);
}

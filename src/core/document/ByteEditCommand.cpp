// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteEditCommand.h"

#include "AddinDocument.h"

namespace {

constexpr int kTypingId = 1;

} // namespace

ByteEditCommand::ByteEditCommand(AddinDocument& document, int offset, QByteArray before,
                                 QByteArray after, Kind kind)
    : QUndoCommand(caption(kind)), m_document(document), m_offset(offset),
      m_before(std::move(before)), m_after(std::move(after)), m_kind(kind) {}

QString ByteEditCommand::caption(Kind kind) {
    switch (kind) {
    case Kind::PatchName:
        return QStringLiteral("Patch name");
    case Kind::PatchDescription:
        return QStringLiteral("Patch description");
    case Kind::PatchIcon:
        return QStringLiteral("Patch icon");
    case Kind::Typing:
        return QStringLiteral("Typing");
    case Kind::Paste:
        return QStringLiteral("Paste");
    case Kind::Fill:
        return QStringLiteral("Fill");
    case Kind::SetValue:
        return QStringLiteral("Set value");
    }
    return {};
}

void ByteEditCommand::redo() {
    const bool patch = !m_done && (m_kind == Kind::PatchName || m_kind == Kind::PatchDescription ||
                                   m_kind == Kind::PatchIcon);
    m_done = true;
    m_document.write(m_offset, m_after,
                     patch ? AddinDocument::Redraw::Afresh : AddinDocument::Redraw::InPlace);
}

void ByteEditCommand::undo() {
    m_document.write(m_offset, m_before, AddinDocument::Redraw::InPlace);
}

int ByteEditCommand::id() const {
    return m_kind == Kind::Typing ? kTypingId : -1;
}

bool ByteEditCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const ByteEditCommand*>(other);
    // Typing goes on inside what this step typed or right after it.
    if (next->m_offset < m_offset || next->m_offset > m_offset + m_after.size()) {
        return false;
    }
    const int at = next->m_offset - m_offset;
    const qsizetype beyond = at + next->m_after.size() - m_after.size();
    if (beyond > 0) {
        m_before.append(next->m_before.right(beyond));
        m_after.append(QByteArray(beyond, '\0'));
    }
    m_after.replace(at, next->m_after.size(), next->m_after);
    return true;
}

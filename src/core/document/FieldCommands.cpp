// SPDX-License-Identifier: GPL-3.0-or-later
#include "FieldCommands.h"

#include "CommandTexts.h"

FieldCommands::FieldCommands(Prompts& prompts, AddinDocument& document)
    : m_prompts(prompts), m_document(document) {}

bool FieldCommands::patch(AddinDocument::Field field, const QString& text) {
    // Without a class text nothing was read that an edit could change.
    if (!m_document.isParsed() || !CommandTexts::agreesToPatch(m_prompts)) {
        return false;
    }
    const HeaderPatch patch = m_document.patch(field, text);
    if (!patch.written()) {
        const QString name = field == AddinDocument::Field::Name ? QStringLiteral("name")
                                                                 : QStringLiteral("description");
        m_prompts.tell(CommandTexts::patchRefused(patch.problem(name)), appTitle());
    }
    return patch.written();
}

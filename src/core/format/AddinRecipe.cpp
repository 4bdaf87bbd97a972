// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinRecipe.h"

#include "AddinCheck.h"
#include "AddinParts.h"

std::variant<QByteArray, AddinRecipe::Refusal> AddinRecipe::make() const {
    AddinParts parts;
    const std::pair<AddinParts::Text, std::optional<QString>> texts[] = {
        {AddinParts::Text::Class, classText},
        {AddinParts::Text::Name, name},
        {AddinParts::Text::Description, description},
    };
    for (const auto& [which, text] : texts) {
        if (!text) {
            continue;
        }
        if (const QString problem = parts.setText(which, *text); !problem.isEmpty()) {
            return Refusal{Stage::Text, problem};
        }
    }
    parts.code = code;
    // The default, as the field's own tools write it: the code's length.
    parts.word1 = word1.value_or(quint16(qMin<qsizetype>(code.size(), 0xFFFF)));
    parts.word2 = word2;
    if (icon) {
        parts.icon = *icon;
    }
    parts.fileLength = parts.newFileLength(pad);
    if (const QString problem = parts.problem(); !problem.isEmpty()) {
        return Refusal{Stage::Parts, problem};
    }
    QByteArray bytes = parts.bytes();
    for (const AddinFinding& finding : AddinCheck::of(bytes)) {
        if (finding.isError()) {
            return Refusal{Stage::Check, finding.sentence};
        }
    }
    return bytes;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconCommands.h"

#include "AddinDocument.h"
#include "CommandTexts.h"
#include "FilePath.h"
#include "IconPicture.h"

IconCommands::IconCommands(Prompts& prompts, AddinDocument& document)
    : m_prompts(prompts), m_document(document), m_choice(prompts) {}

std::vector<Prompts::FileFilter> IconCommands::filters() {
    return {
        {QStringLiteral("Pictures (*.png *.bmp *.pbm *.pgm *.ppm *.xpm *.gif)"),
         {QStringLiteral("*.png"), QStringLiteral("*.bmp"), QStringLiteral("*.pbm"),
          QStringLiteral("*.pgm"), QStringLiteral("*.ppm"), QStringLiteral("*.xpm"),
          QStringLiteral("*.gif")}},
        FileChoice::allFiles(),
    };
}

bool IconCommands::canReplace() const {
    return m_document.isCompleteAddin();
}

bool IconCommands::takesDrop(const QString& path) const {
    return canReplace() && IconPicture::isPictureFile(path);
}

void IconCommands::tell(const QString& text) {
    m_prompts.tell(text, appTitle());
}

bool IconCommands::replaceFromDialog() {
    if (!canReplace()) {
        return false;
    }
    const std::optional<QString> path =
        m_choice.chooseToOpen(QStringLiteral("Replace icon"), filters());
    if (!path || path->isEmpty()) {
        return false;
    }
    return replaceFrom(*path);
}

bool IconCommands::replaceFrom(const QString& path) {
    if (!canReplace()) {
        return false;
    }
    // A name Qt could not hand over byte for byte might lead to another picture.
    if (!FilePath::namesExactly(path)) {
        tell(CommandTexts::kInexactName);
        return false;
    }
    // The picture is read before the question: a picture that cannot be an icon asks nothing.
    const IconPicture picture = IconPicture::fromFile(path);
    if (!picture.converted()) {
        tell(CommandTexts::patchRefused(picture.problem));
        return false;
    }
    if (!CommandTexts::agreesToPatch(m_prompts)) {
        return false;
    }
    const IconPatch patch = m_document.patchIcon(picture.icon);
    if (!patch.written()) {
        tell(CommandTexts::patchRefused(patch.problem));
        return false;
    }
    return true;
}

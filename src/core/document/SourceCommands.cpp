// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceCommands.h"

#include "AddinDocument.h"
#include "AddinSource.h"
#include "CommandTexts.h"
#include "FileReplacer.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>

SourceCommands::SourceCommands(Prompts& prompts, const AddinDocument& document)
    : m_prompts(prompts), m_document(document), m_choice(prompts) {}

std::vector<Prompts::FileFilter> SourceCommands::filters() {
    return {
        {QStringLiteral("Assembler source (*.asm)"), {QStringLiteral("*.asm")}},
        FileChoice::allFiles(),
    };
}

void SourceCommands::tell(const QString& text) {
    m_prompts.tell(text, appTitle());
}

bool SourceCommands::saveSource() {
    if (!m_document.isCompleteAddin()) {
        return false;
    }
    // Beside the add-in, under its own name, the first time.
    const QFileInfo addin(m_document.path());
    const std::optional<QString> path = m_choice.chooseToSave(
        QStringLiteral("Save as source"), filters(),
        addin.dir().filePath(addin.completeBaseName() + QLatin1String(".asm")));
    if (!path || path->isEmpty()) {
        return false;
    }
    // The add-in's own file is never the one replaced, whatever name leads to it. The source
    // keeps the author's marks.
    const RegularFile input(m_document.path(), O_RDONLY);
    const QByteArray& image = m_document.image().bytes();
    const QByteArray source =
        AddinSource::of(image, m_document.header(), false,
                        m_document.marks().codeMarks(m_document.codeStart(), int(image.size())));
    const FileReplacer::Result result = FileReplacer::replace(
        *path, source, input.isOpen() ? std::optional(input.identity()) : std::nullopt);
    switch (result.outcome) {
    case FileReplacer::Outcome::Written:
        return true;
    case FileReplacer::Outcome::InexactName:
        tell(CommandTexts::kInexactName);
        return false;
    case FileReplacer::Outcome::IsInput:
        tell(QStringLiteral("The source cannot be written over the add-in itself!"));
        return false;
    case FileReplacer::Outcome::NotRegularFile:
    case FileReplacer::Outcome::Failed:
        break;
    }
    tell(CommandTexts::withReason(CommandTexts::kSaveError, result.reason()));
    return false;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceCommands.h"

#include "AddinDocument.h"
#include "AddinSource.h"
#include "AppTitle.h"
#include "SideFile.h"

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
    const std::optional<QString> path =
        m_choice.chooseToSave(QStringLiteral("Save as source"), filters(),
                              SideFile::besideAddin(m_document.path(), QStringLiteral(".asm")));
    if (!path || path->isEmpty()) {
        return false;
    }
    // The source keeps the author's marks.
    const QByteArray& image = m_document.image().bytes();
    const QByteArray source =
        AddinSource::of(image, m_document.header(), false,
                        m_document.marks().codeMarks(m_document.codeStart(), int(image.size())));
    const QString problem =
        SideFile::write(*path, source, m_document.path(), QStringLiteral("The source"));
    if (!problem.isEmpty()) {
        tell(problem);
    }
    return problem.isEmpty();
}

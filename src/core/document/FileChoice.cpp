// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileChoice.h"

using Kind = Prompts::FileRequest::Kind;

std::optional<QString> FileChoice::chooseToOpen(const QString& caption,
                                                std::vector<Prompts::FileFilter> filters,
                                                const QString& firstName) {
    return choose(Kind::Open, caption, std::move(filters), firstName);
}

std::optional<QString> FileChoice::chooseToSave(const QString& caption,
                                                std::vector<Prompts::FileFilter> filters,
                                                const QString& firstName) {
    return choose(Kind::Save, caption, std::move(filters), firstName);
}

Prompts::FileFilter FileChoice::allFiles() {
    return {QStringLiteral("All files (*)"), {QStringLiteral("*")}};
}

std::optional<QString> FileChoice::choose(Kind kind, const QString& caption,
                                          std::vector<Prompts::FileFilter> filters,
                                          const QString& firstName) {
    const bool opening = kind == Kind::Open;
    const Prompts::FileRequest request{.kind = kind,
                                       .caption = caption,
                                       .initialName = m_last.isEmpty() ? firstName : m_last,
                                       .filters = std::move(filters),
                                       .mustExist = opening,
                                       .confirmOverwrite = !opening};
    std::optional<QString> path = m_prompts.chooseFile(request);
    if (path && !path->isEmpty()) {
        m_last = *path;
    }
    return path;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompts.h"

#include <optional>

// A command's file dialog, which offers the name chosen in it last, so that the way back to a
// file or its folder needs no browsing; until something is chosen, the name the command gives.
class FileChoice {
public:
    explicit FileChoice(Prompts& prompts) : m_prompts(prompts) {}

    // A dialog for an existing file, or for a file to write (asking before one is replaced),
    // with `caption` (empty: the toolkit's own) and `filters`, offering the last name chosen or
    // else `firstName`. The path chosen, or nothing when the dialog was cancelled. A chosen path
    // is remembered; an empty one, which only a scripted answer gives, is handed back as it is.
    std::optional<QString> chooseToOpen(const QString& caption,
                                        std::vector<Prompts::FileFilter> filters,
                                        const QString& firstName = {});
    std::optional<QString> chooseToSave(const QString& caption,
                                        std::vector<Prompts::FileFilter> filters,
                                        const QString& firstName = {});

    // The last filter of a dialog for any file: "All files (*)".
    static Prompts::FileFilter allFiles();

    // The name the next dialog offers, as if it had been chosen.
    void remember(const QString& path) { m_last = path; }

private:
    std::optional<QString> choose(Prompts::FileRequest::Kind kind, const QString& caption,
                                  std::vector<Prompts::FileFilter> filters,
                                  const QString& firstName);

    Prompts& m_prompts;
    QString m_last;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnswersFile.h"
#include "FileChoice.h"
#include "Prompts.h"
#include "SystemCallAnswer.h"

#include <QList>
#include <QString>

#include <optional>

// The Run window's "Save answers..." and "Replay answers...": the answers a run was given,
// written to a file the user names in the format `mobrin-cli run --answers` reads (whole or
// not at all, never over the add-in itself), and such a file read back. Beside the add-in,
// under its name, the first time.
class RunAnswersFiles {
public:
    // Answers files are a line a call: anything larger is not one.
    static constexpr qint64 kMaxSize = 1 << 20;

    explicit RunAnswersFiles(Prompts& prompts);

    // Asks where, then writes `answers`; the add-in is the file at `addinPath`. True when
    // written; a failure is told.
    bool save(const QList<SystemCallAnswer>& answers, const QString& addinPath);
    // Asks for a file and reads it. Nothing when the dialog was cancelled, or when the file
    // could not be read or holds a line that is no answer: each is told, with the lines.
    std::optional<AnswersFile> choose(const QString& addinPath);

    static std::vector<Prompts::FileFilter> filters();

private:
    void tell(const QString& text);

    Prompts& m_prompts;
    FileChoice m_choice;
};

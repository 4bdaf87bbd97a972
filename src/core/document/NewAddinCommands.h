// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompts.h"

#include <QString>

#include <optional>

class AddinDocument;

// "New add-in from code...": an add-in made from an assembled code file, a class, a name, a
// description and an icon picture, as `mobrin-cli build --code` makes one, with the same checks
// and sentences. It becomes the document as a new, changed image with no file yet.
class NewAddinCommands {
public:
    // What the dialog holds.
    struct Fields {
        QString codePath;
        QString classText = QStringLiteral("Addin");
        QString name;
        QString description;
        QString iconPath; // empty: an all-white icon
        bool pad = true;  // up to 8192 bytes with FF
    };
    // Either the sentence that refuses the fields (nothing changed; the dialog shows it), or
    // whether the new add-in became the document (false: the user kept the changes to the
    // one open).
    struct Outcome {
        QString refusal;
        bool created = false;
    };

    NewAddinCommands(Prompts& prompts, AddinDocument& document);

    // A file dialog for the code or the picture, starting from what the field holds; the
    // choice, or nothing when it was cancelled.
    std::optional<QString> chooseCode(const QString& current);
    std::optional<QString> chooseIcon(const QString& current);
    // Makes the add-in; asks before changes to the open one are lost.
    Outcome create(const Fields& fields);
    // Where Save As offers to put the add-in made last: beside its code, named after it.
    QString suggestedPath() const { return m_suggested; }

private:
    // The field is the remembered choice: each dialog starts from what it holds.
    std::optional<QString> choose(const QString& caption, const QString& current,
                                  std::vector<Prompts::FileFilter> filters);

    Prompts& m_prompts;
    AddinDocument& m_document;
    QString m_suggested;
};

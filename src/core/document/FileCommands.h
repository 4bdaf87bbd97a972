// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinDocument.h"
#include "FileChoice.h"
#include "Prompts.h"

#include <QObject>

class AddinImage;

// Open, Save and Save As on a document: every question and message in its order, with the
// file dialog's last choice remembered between commands. The marks file beside the add-in is
// read with it (saying when it could not be, or when marks could not be placed) and written
// with it, replacing a marks file that could not be read only when the user agrees.
class FileCommands : public QObject {
    Q_OBJECT

public:
    FileCommands(Prompts& prompts, AddinDocument& document, QObject* parent = nullptr);

    // Asks to discard a patched image, shows the open dialog and loads the chosen file. The
    // unsaved changes count as discarded once the user agrees, even if the dialog is then
    // cancelled. The document changes only when the file was read in full.
    void open();
    // Loads `path` as if it had been chosen in the open dialog.
    void openPath(const QString& path);

    // Writes the image to its file; a new add-in with no file yet is saved as saveAs() does.
    bool save();
    bool saveAs();
    // The name the next file dialog offers.
    void suggestName(const QString& path);

    static std::vector<Prompts::FileFilter> filters();

signals:
    // The open dialog returned a name (or a path was given); nothing has been read yet.
    void fileChosen();

private:
    bool askToDiscard();
    // Whether a save to `path` may replace a marks file there that could not be read.
    AddinDocument::UnreadMarks askUnreadMarks(const QString& path);
    void load(const QString& path);
    void tell(const QString& text);
    Prompts::Answer askYesNo(const QString& text);

    Prompts& m_prompts;
    AddinDocument& m_document;
    FileChoice m_choice;
};

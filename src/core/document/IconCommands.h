// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileChoice.h"
#include "Prompts.h"

class AddinDocument;

// "Replace icon...": a picture file, chosen in a dialog or dropped on the icon, made into the
// header's icon once the user agrees, as a name patch is. A picture that cannot be an icon is
// refused with its reason, and nothing changes.
class IconCommands {
public:
    IconCommands(Prompts& prompts, AddinDocument& document);

    // A loaded add-in with a complete header: only that has an icon to replace.
    bool canReplace() const;
    // Whether a file dropped on the icon replaces it: a picture, while there is an icon to
    // replace. Anything else dropped there is opened, as on the rest of the window.
    bool takesDrop(const QString& path) const;
    // Shows the picture dialog, then replaces the icon as replaceFrom() does. True when the
    // icon was written.
    bool replaceFromDialog();
    // Converts the picture at `path`, asks "Patch the addin?" and on OK writes the icon into
    // the image. True when the icon was written.
    bool replaceFrom(const QString& path);

    static std::vector<Prompts::FileFilter> filters();

private:
    void tell(const QString& text);

    Prompts& m_prompts;
    AddinDocument& m_document;
    FileChoice m_choice;
};

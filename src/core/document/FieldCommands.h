// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinDocument.h"

class Prompts;

// The name and description patch: an edit of either box ends with its new text, and once the
// user agrees the text is written over the field in place. A text the field cannot hold is
// refused with its reason. Nothing is put back here: the header area shows the document, which
// holds the old text whenever nothing was written.
class FieldCommands {
public:
    FieldCommands(Prompts& prompts, AddinDocument& document);

    // Asks "Patch the addin?" and on OK writes `text` over `field`. True when it was written.
    bool patch(AddinDocument::Field field, const QString& text);

private:
    Prompts& m_prompts;
    AddinDocument& m_document;
};

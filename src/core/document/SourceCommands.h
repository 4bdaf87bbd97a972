// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileChoice.h"
#include "Prompts.h"

class AddinDocument;

// "Save as source...": the whole add-in, as the image holds it now, as assembler source that
// z80asm and pasmo assemble back into the same bytes; written where the user chooses, as every
// output is written (whole or not at all, never over the add-in itself, nor over a device,
// FIFO or folder).
class SourceCommands {
public:
    SourceCommands(Prompts& prompts, const AddinDocument& document);

    // Shows the save dialog and writes the source. True when it was written.
    bool saveSource();

    static std::vector<Prompts::FileFilter> filters();

private:
    void tell(const QString& text);

    Prompts& m_prompts;
    const AddinDocument& m_document;
    FileChoice m_choice;
};

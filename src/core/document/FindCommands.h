// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BytePattern.h"
#include "RangeStep.h"

#include <QString>

class AddinDocument;
class DumpState;

// Find and Go to on what the dump shows: each selects through the dump's state, so that both
// panes, the status bar and the code listing follow, and says what the window shows about it.
class FindCommands {
public:
    // What the find box holds: the field, text or bytes, and "Match case" (text alone).
    struct Query {
        QString typed;
        BytePattern::Mode mode = BytePattern::Mode::Text;
        bool matchCase = false;
    };

    // Either the sentence that refuses what was typed (nothing searched, nothing moved; the
    // box that took it shows it), or the status bar's note (empty when there is none).
    struct Outcome {
        QString refusal;
        QString note;
    };

    FindCommands(const AddinDocument& document, DumpState& dump);

    // Find next (Forward) or Find previous (Backward) from the selection, over the bytes the
    // dump shows: a hidden header is not searched. A hit is selected; "not found" moves
    // nothing.
    Outcome find(const Query& query, RangeStep::Direction direction);
    // Selects the byte at the offset or code address typed and brings it into view.
    Outcome goTo(const QString& typed);

private:
    const AddinDocument& m_document;
    DumpState& m_dump;
};

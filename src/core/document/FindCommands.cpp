// SPDX-License-Identifier: GPL-3.0-or-later
#include "FindCommands.h"

#include "AddinDocument.h"
#include "ByteSearch.h"
#include "DumpState.h"
#include "GoToTarget.h"

FindCommands::FindCommands(const AddinDocument& document, DumpState& dump)
    : m_document(document), m_dump(dump) {}

FindCommands::Outcome FindCommands::find(const Query& query, RangeStep::Direction direction) {
    const BytePattern::Parse parsed = BytePattern::parse(query.typed, query.mode, query.matchCase);
    if (!parsed.pattern) {
        return {parsed.refusal, {}};
    }
    const RangeStep step = ByteSearch::find(m_document.image().bytes(), *parsed.pattern,
                                            m_dump.shownRange(), m_dump.selection(), direction);
    if (step.range) {
        m_dump.select(step.range->start, step.range->length);
    }
    return {{}, ByteSearch::note(step)};
}

FindCommands::Outcome FindCommands::goTo(const QString& typed) {
    const GoToTarget::Place place = GoToTarget::resolve(typed, m_document.image().fileSize(),
                                                        m_document.header(), m_dump.stripHeader());
    if (!place.offset) {
        return {place.refusal, {}};
    }
    m_dump.select(*place.offset, 1);
    return {};
}

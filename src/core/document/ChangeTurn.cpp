// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChangeTurn.h"

#include <algorithm>
#include <utility>

ChangeTurn::ChangeTurn(const AddinDocument& document, const DumpState& dump, QObject* parent)
    : QObject(parent) {
    m_end.setSingleShot(true);
    m_end.setInterval(0);
    connect(&m_end, &QTimer::timeout, this, &ChangeTurn::end);
    connect(&document, &AddinDocument::replaced, this, [this] {
        m_pending.replaced = true;
        schedule();
    });
    connect(&document, &AddinDocument::changed, this, &ChangeTurn::documentChanged);
    connect(&document, &AddinDocument::pathChanged, this, [this] {
        m_pending.path = true;
        schedule();
    });
    connect(&document, &AddinDocument::marksChanged, this, [this] {
        m_pending.marks = true;
        schedule();
    });
    connect(&dump, &DumpState::changed, this, [this](DumpState::Changes what) {
        m_pending.dump |= what;
        schedule();
    });
}

void ChangeTurn::documentChanged(const AddinDocument::ByteChange& change) {
    ByteRange& bytes = m_pending.bytes;
    if (bytes.isEmpty()) {
        bytes = change.range;
    } else {
        const int start = std::min(bytes.start, change.range.start);
        bytes = {start, std::max(bytes.end(), change.range.end()) - start};
    }
    m_pending.afresh |= change.redraw == AddinDocument::Redraw::Afresh;
    m_pending.headSizeChanged |= change.headSizeChanged;
    schedule();
}

void ChangeTurn::schedule() {
    if (!m_end.isActive()) {
        m_end.start();
    }
}

void ChangeTurn::end() {
    const Changes changes = std::exchange(m_pending, {});
    emit ended(changes);
}

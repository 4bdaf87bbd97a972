// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpState.h"

#include "AddinDocument.h"
#include "DumpText.h"

#include <algorithm>

DumpState::DumpState(const AddinDocument& document, QObject* parent)
    : QObject(parent), m_document(document) {
    connect(&document, &AddinDocument::replaced, this, &DumpState::showAfresh);
    connect(&document, &AddinDocument::patched, this, &DumpState::showAfresh);
}

int DumpState::dumpStart() const {
    return DumpText::renderedStart(m_document.image().bytes().size(), m_stripHeader,
                                   m_document.header().headSize);
}

ByteRange DumpState::shownRange() const {
    return ByteRange::shown(int(m_document.image().bytes().size()), m_stripHeader,
                            m_document.header().headSize);
}

QByteArrayView DumpState::shownBytes() const {
    return QByteArrayView(m_document.image().bytes()).sliced(dumpStart());
}

void DumpState::setStripHeader(bool strip) {
    if (strip == m_stripHeader) {
        return;
    }
    m_stripHeader = strip;
    if (m_document.isLoaded()) {
        showAfresh();
    }
}

void DumpState::showAfresh() {
    // New text in the panes puts their carets on the first byte, their first line in view.
    m_selection = {dumpStart(), 0};
    m_topLine = 1;
    emit changed(Change::Content | Change::Selection | Change::TopLine);
}

bool DumpState::select(int start, int length) {
    const int first = dumpStart();
    const int end = first + int(shownBytes().size());
    if (start < first || start > end || length < 0) {
        return false;
    }
    const Selection wanted{start, std::min(length, end - start)};
    const bool moved = wanted != m_selection;
    m_selection = wanted;
    if (moved) {
        emit changed(Change::Selection);
    }
    emit selectRequested(wanted);
    return true;
}

void DumpState::setLeader(PaneSync::Pane pane) {
    if (pane != m_leader) {
        m_leader = pane;
        emit changed(Change::Leader);
    }
}

PaneSync::Step DumpState::followPanes(const PaneSync::Reading& reading) {
    const PaneSync::Step step = m_sync.step(reading);
    Changes what;
    const Selection shown{dumpStart() + step.position, step.length};
    if (shown != m_selection) {
        m_selection = shown;
        what |= Change::Selection;
    }
    if (step.firstLine != m_topLine) {
        m_topLine = step.firstLine;
        what |= Change::TopLine;
    }
    if (what) {
        emit changed(what);
    }
    return step;
}

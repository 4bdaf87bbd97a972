// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpState.h"

#include "DumpText.h"

#include <algorithm>

DumpState::DumpState(const AddinDocument& document, QObject* parent)
    : QObject(parent), m_document(document) {
    connect(&document, &AddinDocument::replaced, this, &DumpState::showAfresh);
    connect(&document, &AddinDocument::changed, this, &DumpState::documentChanged);
    connect(&document, &AddinDocument::changedRunsChanged, this, [this] {
        m_highlights.set(ByteHighlights::Kind::ChangedSinceSave, m_document.changedRuns());
    });
    connect(&document, &AddinDocument::marksChanged, this, &DumpState::showMarks);
}

void DumpState::showMarks() {
    QList<ByteRange> bookmarks;
    QList<ByteRange> marked;
    const int codeStart = m_document.codeStart();
    for (const Mark& mark : m_document.marks().marks()) {
        if (mark.placed) {
            const ByteRange range{AddinMarks::offsetOf(mark.start, codeStart),
                                  mark.end - mark.start};
            (mark.type == Mark::Type::Bookmark ? bookmarks : marked).append(range);
        }
    }
    m_highlights.set(ByteHighlights::Kind::Bookmarked, ByteHighlights::joined(bookmarks));
    m_highlights.set(ByteHighlights::Kind::Marked, ByteHighlights::joined(marked));
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

int DumpState::lineCount() const {
    const int perLine = DumpText::kBytesPerLine;
    return std::max(1, (int(shownBytes().size()) + perLine - 1) / perLine);
}

int DumpState::lastTopLine() const {
    return std::max(1, lineCount() - DumpText::kLinesInView + 1);
}

DumpState::Selection DumpState::selection() const {
    return {std::min(m_anchor, m_caret), std::abs(m_caret - m_anchor)};
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
    // A dump shown afresh has its caret on the first byte, its first line in view.
    m_anchor = m_caret = dumpStart();
    m_nibble = 0;
    m_topLine = 1;
    emit changed(Change::Content | Change::Selection | Change::TopLine);
}

void DumpState::documentChanged(const AddinDocument::ByteChange& change) {
    // The marks stay with their code addresses, which a header of another size moves.
    if (change.headSizeChanged && !m_document.marks().isEmpty()) {
        showMarks();
    }
    // Stripped, a header that changed its size moves every byte the dump shows.
    if (change.redraw == AddinDocument::Redraw::Afresh ||
        (m_stripHeader && change.headSizeChanged)) {
        showAfresh();
        return;
    }
    emit bytesChanged(change.range);
}

int DumpState::clamped(int offset) const {
    const ByteRange shown = shownRange();
    return std::clamp(offset, shown.start, shown.end());
}

int DumpState::lineOf(int offset) const {
    return (offset - dumpStart()) / DumpText::kBytesPerLine + 1;
}

int DumpState::topLineShowing(int line, int from) const {
    if (line < from) {
        return line;
    }
    if (line >= from + DumpText::kLinesInView) {
        return line - DumpText::kLinesInView + 1;
    }
    return from;
}

void DumpState::bringIntoView(int offset) {
    if (shownRange().holds(offset)) {
        setTopLine(topLineShowing(lineOf(offset), m_topLine));
    }
}

bool DumpState::select(int start, int length) {
    const ByteRange shown = shownRange();
    if (start < shown.start || start > shown.end() || length < 0) {
        return false;
    }
    const int end = std::min(start + length, shown.end());
    const int oldTopLine = m_topLine;
    const Selection old = selection();
    m_anchor = start;
    m_caret = end;
    m_nibble = 0;
    // The last selected byte comes into view, then the first, which wins where both cannot.
    const int lastLine = lineOf(std::max(start, end - 1));
    m_topLine = std::clamp(topLineShowing(lineOf(start), topLineShowing(lastLine, m_topLine)), 1,
                           lastTopLine());
    announce(selection() != old ? Changes(Change::Selection) : Changes(), oldTopLine);
    return true;
}

void DumpState::setCaret(int anchor, int caret, int nibble) {
    const int oldTopLine = m_topLine;
    const Selection old = selection();
    const int oldCaret = m_caret;
    const int oldNibble = m_nibble;
    m_anchor = clamped(anchor);
    m_caret = clamped(caret);
    m_nibble = m_caret < shownRange().end() ? std::clamp(nibble, 0, 1) : 0;
    // Selecting forwards, the caret stands after the last selected byte: that byte is the one
    // to keep in view, not the start of the next line.
    const int shown = m_caret > m_anchor ? m_caret - 1 : m_caret;
    m_topLine = std::clamp(topLineShowing(lineOf(shown), m_topLine), 1, lastTopLine());
    const bool moved = selection() != old || m_caret != oldCaret || m_nibble != oldNibble;
    announce(moved ? Changes(Change::Selection) : Changes(), oldTopLine);
}

void DumpState::moveCaret(int offset, int nibble, bool extend) {
    setCaret(extend ? m_anchor : offset, offset, nibble);
}

void DumpState::setTopLine(int line) {
    const int oldTopLine = m_topLine;
    m_topLine = std::clamp(line, 1, lastTopLine());
    announce({}, oldTopLine);
}

void DumpState::announce(Changes what, int oldTopLine) {
    if (m_topLine != oldTopLine) {
        what |= Change::TopLine;
    }
    if (what) {
        emit changed(what);
    }
}

void DumpState::setLeader(Pane pane) {
    if (pane != m_leader) {
        m_leader = pane;
        emit changed(Change::Leader);
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListingModel.h"

#include "AddinDocument.h"
#include "DumpState.h"

#include <algorithm>

ListingModel::ListingModel(const AddinDocument& document, DumpState& dump, const ChangeTurn& turn,
                           QObject* parent)
    : QObject(parent), m_document(document), m_dump(dump) {
    connect(&turn, &ChangeTurn::ended, this, &ListingModel::follow);
    // A run moves its mark in the dump's highlights, not the dump's selection.
    connect(&dump.highlights(), &ByteHighlights::changed, this,
            &ListingModel::followProgramCounter);
    relist();
}

QString ListingModel::unlistedReason() const {
    if (m_listed) {
        return {};
    }
    const QString problem = m_document.header().problemText();
    return problem.isEmpty() ? QStringLiteral("The file is no add-in: it has no code to list.")
                             : QStringLiteral("The code cannot be listed while the header is "
                                              "incomplete. ") +
                                   problem;
}

QStringView ListingModel::shownText() const {
    const QString& text = m_lines.text();
    return QStringView(text).chopped(text.isEmpty() ? 0 : 1);
}

QString ListingModel::title() const {
    const AddinHeader& header = m_document.header();
    const QString name = header.name ? header.name->text().trimmed() : QString();
    return name.isEmpty() ? QStringLiteral("Code listing")
                          : QStringLiteral("Code listing - ") + name;
}

CodeListing ListingModel::listNow() const {
    // Every byte after the header, not only the approximate code: the dump's caret can stand
    // anywhere, and the code size is only a guess from the trailing FF bytes. The author's
    // marks come first.
    const QByteArray& image = m_document.image().bytes();
    const CodeMarks marks = m_document.marks().codeMarks(m_document.codeStart(), int(image.size()));
    return CodeListing::ofMap(image, CodeMap::of(image, m_document.header(), marks, true));
}

void ListingModel::relist() {
    m_listed = m_document.isCompleteAddin();
    m_listing = m_listed ? listNow() : CodeListing();
    m_lines = LabelledListing(m_listing, LabelledListing::Columns::WithCharacters);
    m_history.clear();
    m_followed = {-1, -1};
    m_marked = {-1, -1};
    m_programCounter = programCounter();
    emit relisted();
    emit historyChanged();
    followDump();
}

void ListingModel::follow(const ChangeTurn::Changes& changes) {
    if (changes.replaced) {
        relist();
        if (!m_listed) {
            emit anotherUnlisted();
        }
        return;
    }
    if (changes.content() || changes.marks) {
        update();
        // The views show the program counter afresh with the lines.
        m_programCounter = programCounter();
    }
    if (changes.content() || changes.dump & DumpState::Change::Content) {
        // The dump counts from another byte now: follow it afresh.
        m_followed = {-1, -1};
        followDump();
    } else if (changes.dump & DumpState::Change::Selection) {
        followDump();
    }
}

void ListingModel::update() {
    const bool listed = m_document.isCompleteAddin();
    if (listed != m_listed) {
        // The header broke or was mended: the view lists anew, and the way taken is kept.
        m_listed = listed;
        m_listing = listed ? listNow() : CodeListing();
        m_lines = LabelledListing(m_listing, LabelledListing::Columns::WithCharacters);
        m_marked = {-1, -1};
        emit relisted();
        return;
    }
    if (!m_listed) {
        return;
    }
    CodeListing listing = listNow();
    LabelledListing lines(listing, LabelledListing::Columns::WithCharacters);
    const QList<LineDifference> edits =
        LineDifference::between(keyedLines(m_listing, m_lines), keyedLines(listing, lines));
    m_listing = std::move(listing);
    m_lines = std::move(lines);
    emit linesReplaced(edits);
}

LineDifference::Text ListingModel::keyedLines(const CodeListing& listing,
                                              const LabelledListing& lines) {
    const QString& text = lines.text();
    LineDifference::Text keyed{QStringView(text).chopped(text.isEmpty() ? 0 : 1), {}};
    keyed.lines.reserve(lines.lineCount());
    int start = 0;
    for (int line = 0; line < lines.lineCount(); ++line) {
        const int end = int(text.indexOf(QLatin1Char('\n'), start));
        // A label line comes before its instruction's line.
        const qint64 offset = listing.instructions().at(lines.instructionAt(line)).offset;
        keyed.lines.append({2 * offset + (lines.isLabelLine(line) ? 0 : 1), start, end - start});
        start = end + 1;
    }
    return keyed;
}

void ListingModel::followDump() {
    if (!m_listed) {
        mark(-1, -1, false);
        return;
    }
    const DumpState::Selection selection = m_dump.selection();
    // The caret alone stands for the byte after it.
    const std::pair<int, int> range{selection.start,
                                    selection.start + std::max(selection.length, 1)};
    if (range == m_followed) {
        return;
    }
    m_followed = range;
    const int from = std::max(range.first, m_listing.firstOffset());
    const int to = std::min(range.second, m_listing.endOffset());
    if (from >= to) {
        mark(-1, -1, false);
        return;
    }
    mark(m_listing.indexAt(from), m_listing.indexAt(to - 1), true);
}

int ListingModel::programCounter() const {
    const QList<ByteRange>& at = m_dump.highlights().ranges(ByteHighlights::Kind::ProgramCounter);
    if (!m_listed || at.isEmpty() || at.first().start < m_listing.firstOffset() ||
        at.first().start >= m_listing.endOffset()) {
        return -1;
    }
    return m_listing.indexAt(at.first().start);
}

void ListingModel::followProgramCounter() {
    const int now = programCounter();
    if (now != m_programCounter) {
        m_programCounter = now;
        emit programCounterMoved();
    }
}

void ListingModel::mark(int first, int last, bool bringIntoView) {
    if (std::make_pair(first, last) == m_marked && !bringIntoView) {
        return;
    }
    m_marked = {first, last};
    emit markChanged(bringIntoView);
}

void ListingModel::selectLines(int firstLine, int lastLine) {
    if (!m_listed || m_listing.isEmpty()) {
        return;
    }
    const int lineCount = m_lines.lineCount();
    firstLine = std::clamp(firstLine, 0, lineCount - 1);
    lastLine = std::clamp(lastLine, firstLine, lineCount - 1);
    const int first = m_lines.instructionAt(firstLine);
    const int last = std::max(first, m_lines.instructionAt(lastLine));
    const int start = m_listing.instructions().at(first).offset;
    const int end = m_listing.instructions().at(last).end();
    if (m_dump.selection() == DumpState::Selection{start, end - start}) {
        return;
    }
    // The dump reports this range back; it is marked already and in view.
    m_followed = {start, end};
    mark(first, last, false);
    m_dump.select(start, end - start);
}

std::optional<int> ListingModel::followJumpOn(int line) {
    if (!m_listed || m_listing.isEmpty() || line < 0 || line >= m_lines.lineCount()) {
        return std::nullopt;
    }
    const std::optional<ByteRange> target = m_listing.targetOf(m_lines.instructionAt(line));
    if (!target) {
        return std::nullopt;
    }
    m_history.leave(m_dump.selection());
    emit historyChanged();
    return goTo(*target);
}

QList<int> ListingModel::referencesTo(int line) const {
    if (!m_listed || line < 0 || line >= m_lines.lineCount()) {
        return {};
    }
    const CodeInstruction& target = m_listing.instructions().at(m_lines.instructionAt(line));
    QList<int> lines;
    for (const CodeReference& reference :
         m_listing.map().referencesTo(target.offset, target.end())) {
        const int index = m_listing.indexAt(reference.from);
        const int from = index < 0 ? -1 : m_lines.lineOf(index);
        if (from >= 0 && (lines.isEmpty() || lines.last() != from)) {
            lines.append(from);
        }
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

std::optional<int> ListingModel::goToLine(int to) {
    if (!m_listed || to < 0 || to >= m_lines.lineCount()) {
        return std::nullopt;
    }
    const CodeInstruction& line = m_listing.instructions().at(m_lines.instructionAt(to));
    m_history.leave(m_dump.selection());
    emit historyChanged();
    return goTo({line.offset, line.length});
}

std::optional<int> ListingModel::goBack() {
    return goAlong(m_history.back(m_dump.selection()));
}

std::optional<int> ListingModel::goForward() {
    return goAlong(m_history.forward(m_dump.selection()));
}

std::optional<int> ListingModel::goAlong(std::optional<ByteRange> place) {
    if (!place) {
        return std::nullopt;
    }
    emit historyChanged();
    return goTo(*place);
}

std::optional<int> ListingModel::goTo(ByteRange range) {
    m_dump.select(range.start, range.length);
    const int index = m_listing.indexAt(range.start);
    if (index < 0) {
        return std::nullopt;
    }
    return m_lines.lineOf(index);
}

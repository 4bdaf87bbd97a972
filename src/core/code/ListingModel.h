// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChangeTurn.h"
#include "CodeListing.h"
#include "JumpHistory.h"
#include "LabelledListing.h"
#include "LineDifference.h"

#include <QObject>

#include <optional>
#include <utility>

class AddinDocument;
class DumpState;

// What the code listing window shows, kept in step with the document and the dump: the
// loaded add-in's code to the image's end as labelled lines, with the author's marks, the
// instructions that hold the dump's selection (marked), the bytes a selection of lines stands
// for, and the way taken through the code by following jumps. A change of the bytes replaces only
// the lines that differ, so that the view keeps its scroll and history; while an edit leaves the
// header incomplete nothing is listed and unlistedReason() says why, until the header is whole
// again.
// The instruction a paused run stands at is found from the dump's program-counter highlight.
class ListingModel : public QObject {
    Q_OBJECT

public:
    ListingModel(const AddinDocument& document, DumpState& dump, const ChangeTurn& turn,
                 QObject* parent = nullptr);

    bool isListed() const { return m_listed; }
    QString unlistedReason() const;
    const CodeListing& listing() const { return m_listing; }
    const LabelledListing& lines() const { return m_lines; }
    // The lines as the view shows them: without the last line feed.
    QStringView shownText() const;
    // "Code listing - Clock"
    QString title() const;
    // The first and last instruction that hold the dump's selection or caret; -1 and -1 when
    // it lies outside the code.
    std::pair<int, int> marked() const { return m_marked; }
    // The instruction whose bytes the dump marks as the program counter's; -1 when none.
    int programCounter() const;

    // Lists the document afresh, the way taken forgotten.
    void relist();
    // The lines [firstLine, lastLine] were selected in the view: the dump selects the bytes of
    // their instructions, a label line standing for the instruction after it.
    void selectLines(int firstLine, int lastLine);
    // Follows the JP, CALL, JR or DJNZ on `line` to its target; the line to put the view's
    // caret on, none when it leads nowhere in the listing.
    std::optional<int> followJumpOn(int line);
    // The lines that jump to, call, read, write or name the instruction or data on `line`, in
    // the order of their addresses.
    QList<int> referencesTo(int line) const;
    // Goes to line `to` of the listing, as following a jump does: Back returns.
    std::optional<int> goToLine(int to);
    std::optional<int> goBack();
    std::optional<int> goForward();
    bool canGoBack() const { return m_history.canGoBack(); }
    bool canGoForward() const { return m_history.canGoForward(); }

signals:
    // Everything is listed anew (or nothing, see isListed()).
    void relisted();
    // The bytes changed: the lines that differ are replaced in the shown text, in the order
    // given; none when no line differs.
    void linesReplaced(const QList<LineDifference>& edits);
    // Another file that cannot be listed was opened.
    void anotherUnlisted();
    // Other instructions are marked; `bringIntoView` when the dump moved, not the view.
    void markChanged(bool bringIntoView);
    // The program counter stands at another instruction, or at none.
    void programCounterMoved();
    void historyChanged();

private:
    void follow(const ChangeTurn::Changes& changes);
    // Lists the bytes as they are now and tells the view which lines differ.
    void update();
    void followDump();
    void followProgramCounter();
    // Selects `range` in the dump; the line its first byte is listed on.
    std::optional<int> goTo(ByteRange range);
    // Back or forward along the way taken, to `place` when there is one.
    std::optional<int> goAlong(std::optional<ByteRange> place);
    void mark(int first, int last, bool bringIntoView);
    CodeListing listNow() const;
    // The shown text's lines, each keyed by where its instruction starts.
    static LineDifference::Text keyedLines(const CodeListing& listing,
                                           const LabelledListing& lines);

    const AddinDocument& m_document;
    DumpState& m_dump;
    bool m_listed = false;
    CodeListing m_listing;
    LabelledListing m_lines;
    JumpHistory m_history;
    // The file range last followed, so that a scroll of the dump alone does not pull the
    // listing back to its caret.
    std::pair<int, int> m_followed{-1, -1};
    std::pair<int, int> m_marked{-1, -1};
    int m_programCounter = -1; // as last told
};

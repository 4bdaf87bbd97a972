// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChangeTurn.h"
#include "CodeListing.h"
#include "DumpState.h"
#include "JumpHistory.h"
#include "LabelledListing.h"

#include <QWidget>

#include <utility>

class AddinDocument;
class QPlainTextEdit;

// The loaded add-in's code as Z80 instructions, one a line, with a label line before each
// instruction a listed jump leads to, beside the dump and in step with the dump's state: its
// caret or selection marks the instructions that hold its bytes, and a click (or a selection,
// however made) in the listing selects the bytes of its instructions. Enter or a double-click
// on a JP, CALL, JR or DJNZ follows it to its target; Alt+Left goes back the way taken and
// Alt+Right forward again, as a browser does. Its context menu offers "Save as source...".
// It lists every byte after the header, so that wherever the dump's caret stands in the code,
// a line holds it. A window of the main window's, not modal; it destroys itself when closed.
class CodeListingWindow : public QWidget {
    Q_OBJECT

public:
    CodeListingWindow(const AddinDocument& document, DumpState& dump, const ChangeTurn& turn,
                      QWidget* parent = nullptr);

    // Lists the document again and marks what the dump's caret or selection holds; closes the
    // window when the document cannot be listed.
    void refresh();

    const CodeListing& listing() const { return m_listing; }
    const LabelledListing& lines() const { return m_lines; }
    QPlainTextEdit* textView() const { return m_text; }
    // The marked instructions, first and last; -1 and -1 when none is marked.
    std::pair<int, int> markedLines() const { return m_marked; }

signals:
    // "Save as source..." in the context menu.
    void saveSourceRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow(const ChangeTurn::Changes& changes);
    // Marks the instructions that hold the dump's selection or caret.
    void followDump();
    // The listing's caret or selection moved: the dump selects the bytes of its instructions.
    void selectInDump();
    void mark(int first, int last);
    // Scrolls instruction `index` into view.
    void bringIntoView(int index);
    void addActions();
    void showContextMenu(QPoint where);
    // Follows the jump on text line `line`; false when it leads nowhere in the listing.
    bool followJumpOn(int line);
    void goBack();
    void goForward();
    // Back and Forward are enabled only where there is a way to go.
    void showHistory();
    // Selects `range` in the dump and puts the listing's caret on the instruction it starts in.
    void goTo(ByteRange range);

    const AddinDocument& m_document;
    DumpState& m_dump;
    QPlainTextEdit* m_text;
    CodeListing m_listing;
    LabelledListing m_lines;
    JumpHistory m_history;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
    QAction* m_saveSource;
    // The file range last followed, so that a scroll of the dump alone does not pull the
    // listing back to its caret.
    std::pair<int, int> m_followed{-1, -1};
    std::pair<int, int> m_marked{-1, -1};
    bool m_filling = false; // the text is being replaced: its caret moves by itself
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ListingModel.h"

#include <QWidget>

#include <utility>

class QLabel;
class QListWidget;
class QPlainTextEdit;

// The loaded add-in's code as Z80 instructions, one a line, with a label line before each
// instruction a listed jump leads to, beside the dump and in step with it through the
// listing's model: the dump's caret or selection marks the instructions that hold its bytes,
// and a click (or a selection, however made) in the listing selects the bytes of its
// instructions. Enter or a double-click on a JP, CALL, JR or DJNZ follows it to its target;
// Alt+Left goes back the way taken and Alt+Right forward again, as a browser does. Its
// context menu offers "Save as source...". A paused run's next instruction is marked in the
// colour the dump marks it with. While an edit leaves the header incomplete it says
// why it lists nothing. A window of the main window's, not modal; it destroys itself when
// closed, or when another file that cannot be listed is opened.
class CodeListingWindow : public QWidget {
    Q_OBJECT

public:
    CodeListingWindow(ListingModel& model, QWidget* parent = nullptr);

    const CodeListing& listing() const { return m_model.listing(); }
    const LabelledListing& lines() const { return m_model.lines(); }
    QPlainTextEdit* textView() const { return m_text; }
    // The marked instructions, first and last; -1 and -1 when none is marked.
    std::pair<int, int> markedLines() const { return m_model.marked(); }
    // Scrolls the marked lines into view: once shown, the window knows how many lines it has
    // room for.
    void bringMarkIntoView() { showMark(true); }
    // The author's mark commands, with the window's own keys: the context menu offers them.
    void addMarkActions(const QList<QAction*>& actions) { m_markActions = actions; }

signals:
    // "Save as source..." in the context menu.
    void saveSourceRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showAll();
    void replaceLines(const QList<LineDifference>& edits);
    // The listing's caret or selection moved: the dump selects the bytes of its instructions.
    void selectInDump();
    void showMark(bool bringIntoView);
    // A run moved the program counter: its line is marked and brought into view.
    void showProgramCounter();
    // Scrolls text line `line` into view.
    void bringIntoView(int line);
    // Puts the caret on text line `line`, if there is one, and brings it into view.
    void putCaret(std::optional<int> line);
    void addActions();
    void showContextMenu(QPoint where);
    // Back and Forward are enabled only where there is a way to go.
    void showHistory();
    // Lists the lines that refer to the marked line under the listing; Enter goes to one.
    void showReferences();
    void goToReference();

    ListingModel& m_model;
    QPlainTextEdit* m_text;
    QLabel* m_unlisted;
    QAction* m_back = nullptr;
    QAction* m_forward = nullptr;
    QAction* m_saveSource = nullptr;
    QAction* m_references = nullptr;
    QList<QAction*> m_markActions;
    QLabel* m_referencesCaption;
    QListWidget* m_referenceList;
    bool m_filling = false; // the text is being replaced: its caret moves by itself
};

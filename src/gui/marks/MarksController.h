// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ActionTable.h"
#include "ByteRange.h"
#include "CodeKind.h"
#include "WindowParts.h"

#include <QObject>
#include <QPointer>

#include <memory>

class AddinDocument;
class BookmarksWindow;
class ChangeTurn;
class DumpState;
class MarkCommands;
class Prompts;
class QAction;
class QWidget;

// The author's marks from the window: the kind of the selected bytes, back to the analysis,
// a label or a comment where the selection starts, a bookmark of it, and the Bookmarks list.
// The dump takes letters as bytes, so there they are the Marks menu's and the dump's context
// menu's, with keys that hold Ctrl; the listing, which types nothing, takes the one-letter
// keys disassemblers use. Each change is one step to undo; a mark that cannot be made says
// why.
class MarksController : public QObject {
    Q_OBJECT

public:
    MarksController(Prompts& prompts, AddinDocument& document, DumpState& dump,
                    const ChangeTurn& turn, const WindowParts& parts, QWidget& owner);
    ~MarksController() override;

    // The Marks menu, as rows of the main window's table.
    QList<ActionTable::Row> rows(const QString& menu);
    // The same commands with the listing's own keys, as actions of `window`.
    QList<QAction*> listingActions(QWidget& window);
    // The dump's context menu offers the Marks menu's items, once the menus are built.
    void offerInDump();

    void setKind(CodeKind kind);
    void backToAnalysis();
    void nameLabel();
    void comment();
    void bookmark();
    void showBookmarks();

private:
    // The selected bytes, or the caret's byte when nothing is selected.
    ByteRange target() const;
    void report(const QString& problem);

    Prompts& m_prompts;
    AddinDocument& m_document;
    DumpState& m_dump;
    const ChangeTurn& m_turn;
    WindowParts m_parts;
    QWidget& m_owner;
    std::unique_ptr<MarkCommands> m_commands;
    QPointer<BookmarksWindow> m_bookmarks;
};

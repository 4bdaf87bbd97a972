// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinDocument.h"
#include "DumpState.h"
#include "RangeStep.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

class ActionTable;
class CodeListingWindow;
class CompareCommands;
class CompareWindow;
class ByteReadoutWindow;
class DumpFiles;
class DumpView;
class EditCommands;
class FieldCommands;
class FileCommands;
class FindBox;
class FindCommands;
class GoToBox;
class HeaderArea;
class IconCodeWindow;
class IconCommands;
class NewAddinCommands;
class NewAddinDialog;
class SourceCommands;
class Prompts;
class QAction;
class StatusPanels;

// The main window "main": the header area, the dump view and the status bar, the File, Edit,
// Search and Help menus. It shows the loaded document and turns the user's actions into
// commands on it.
//
// Every command runs from the event loop, one after another, never inside the menu, shortcut,
// drop or focus change that asked for it; a command that needs the image first ends an edit
// of the name or description, so its question is answered before the command goes on.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(Prompts& prompts, DumpFiles& dumpFiles, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens `path` as if it had been chosen in the open dialog (queued like every command).
    void openFile(const QString& path);

    const AddinDocument& document() const { return *m_document; }
    DumpState& dumpState() const { return *m_dumpState; }
    HeaderArea* headerArea() const { return m_header; }
    DumpView* dumpView() const { return m_dump; }
    StatusPanels* statusPanels() const { return m_status; }
    IconCodeWindow* iconCodeWindow() const;
    CodeListingWindow* listingWindow() const;
    ByteReadoutWindow* inspectorWindow() const;
    NewAddinDialog* newAddinDialog() const;
    FindBox* findBox() const;
    GoToBox* goToBox() const;
    CompareWindow* compareWindow() const;
    QAction* action(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void layOut();
    void connectDocument();
    void connectHeader();

    // Queues `command`; queued commands run in order, each after the one before has ended.
    void request(std::function<void()> command);
    // Queues `command` after the header edits have ended.
    void requestAfterEdits(std::function<void()> command);
    void runRequests();
    // Ends the edits of the name and description boxes, asking about each changed text.
    void finishEdits();
    void finishEdit(AddinDocument::Field field);

    void showProperties();
    void showIconCode();
    void showListing();
    void showInspector();
    // File > "New add-in from code...": the dialog, its file choices and the add-in made.
    void showNewAddin();
    void createAddin();
    void showCheck();
    // An open icon-code window shows the icon as it is now.
    void refreshIconCode();
    void showAbout();
    void render();
    void renderDump();
    void showCaption();
    void showStatus();
    void tell(const QString& text);
    void unloadIconCode();

    // --- Editing -------------------------------------------------------------------------
    // Runs an edit of the bytes: a dump it shows afresh keeps its focus and asks nothing.
    void edit(std::function<QString()> command);
    DumpState::Pane editedPane() const;
    void copy(const QString& text);
    // Bytes changed in place: the views that show more than the bytes (the header area, the
    // icon code, the listing, the inspector) follow, once for a run of changes.
    void scheduleFollow();
    void followEdits();
    void showUndoCaptions();

    Prompts& m_prompts;
    DumpFiles& m_dumpFiles;
    AddinDocument* m_document;
    DumpState* m_dumpState;
    FileCommands* m_files;
    std::unique_ptr<FieldCommands> m_fields;
    std::unique_ptr<IconCommands> m_icons;
    std::unique_ptr<SourceCommands> m_sources;
    std::unique_ptr<EditCommands> m_edits;
    std::unique_ptr<NewAddinCommands> m_newAddins;
    ActionTable* m_actions = nullptr;

    HeaderArea* m_header;
    DumpView* m_dump;
    StatusPanels* m_status;
    QPointer<IconCodeWindow> m_iconCode;
    QPointer<CodeListingWindow> m_listing;
    QPointer<ByteReadoutWindow> m_inspector;
    QPointer<NewAddinDialog> m_newAddin;

    std::deque<std::function<void()>> m_requests;
    bool m_runningRequests = false;
    bool m_closeAgreed = false;
    bool m_editing = false;
    QTimer m_follow;

    // --- Find, go to and compare ---------------------------------------------------------
    void connectSearch();
    void showFind();
    void find(RangeStep::Direction direction);
    void showGoTo();
    void goTo();
    void compare();
    void stepDifference(RangeStep::Direction direction);
    // The marks in the dump, the comparison window and the difference keys, as the
    // comparison is now.
    void showComparison();
    // The keys of the Search menu, Undo, Redo, the listing and the inspector work in the
    // program's other windows too.
    void shareKeys(QWidget* window) const;

    std::unique_ptr<FindCommands> m_finds;
    std::unique_ptr<CompareCommands> m_compare;
    QPointer<FindBox> m_findBox;
    QPointer<GoToBox> m_goToBox;
    QPointer<CompareWindow> m_compareWindow;
};

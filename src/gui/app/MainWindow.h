// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChangeTurn.h"

#include <QMainWindow>

#include <memory>

class AddinDocument;
class CommandQueue;
class CompareCommands;
class CompareController;
class DumpFiles;
class DumpState;
class DumpView;
class EditController;
class FileCommands;
class HeaderArea;
class HeaderController;
class IconCodeController;
class ByteReadoutController;
class ListingController;
class MarksController;
class MainActions;
class NewAddinController;
class Prompts;
class QAction;
class RunController;
class SearchController;
class StatusPanels;

// The main window "main": the dump view above the header area, the status bar, and the menus.
// It puts the document, the dump's state and the controllers together, lays the window out,
// shows the caption, renders the dump through the temporary files, and takes close requests
// and dropped files. Everything else is the controllers' work; every command runs from the
// command queue, never inside the event that asked for it.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(Prompts& prompts, DumpFiles& dumpFiles, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Opens `path` as if it had been chosen in the open dialog (queued like every command).
    void openFile(const QString& path);

    const AddinDocument& document() const { return *m_document; }
    DumpState& dumpState() const { return *m_dumpState; }
    DumpView* dumpView() const { return m_dump; }
    StatusPanels* statusPanels() const { return m_status; }
    QAction* action(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControllers();
    void layOut();
    // The dump, the caption and the status bar, once a turn of changes is over.
    void follow(const ChangeTurn::Changes& changes);
    void renderDump();
    void showCaption();
    void showStatus();

    Prompts& m_prompts;
    DumpFiles& m_dumpFiles;
    AddinDocument* m_document;
    DumpState* m_dumpState;
    ChangeTurn* m_turn;
    CommandQueue* m_queue;
    FileCommands* m_files;
    CompareCommands* m_comparison;
    DumpView* m_dump;
    HeaderArea* m_header;
    StatusPanels* m_status;
    MainActions* m_actions;

    std::unique_ptr<HeaderController> m_headerController;
    std::unique_ptr<EditController> m_edits;
    std::unique_ptr<SearchController> m_search;
    std::unique_ptr<CompareController> m_compare;
    std::unique_ptr<IconCodeController> m_iconCode;
    std::unique_ptr<MarksController> m_marks;
    std::unique_ptr<ListingController> m_listing;
    std::unique_ptr<ByteReadoutController> m_readout;
    std::unique_ptr<NewAddinController> m_newAddin;
    std::unique_ptr<RunController> m_run;
    bool m_closeAgreed = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <optional>

class ActionTable;
class AddinDocument;
class ChangeTurn;
class CommandQueue;
class CompareCommands;
class CompareController;
class EditController;
class FileCommands;
class HeaderController;
class IconCodeController;
class ByteReadoutController;
class ListingController;
class MarksController;
class NewAddinController;
class Prompts;
class RunController;
class QAction;
class QMainWindow;
class QWidget;
class SearchController;

// The main window's menus as one table of commands, each row naming the controller that does
// the work; whether each item can be used and the captions of Undo and Redo follow the
// document once a turn of changes is over. The Search keys, Undo, Redo, the listing's, the
// Run window's and the inspector's keys also work in the program's other windows.
class MainActions : public QObject {
    Q_OBJECT

public:
    struct Controllers {
        FileCommands& files;
        HeaderController& header;
        EditController& edits;
        SearchController& search;
        CompareController& compare;
        ListingController& listing;
        ByteReadoutController& readout;
        NewAddinController& newAddin;
        MarksController& marks;
        RunController& run;
    };
    struct Parts {
        Prompts& prompts;
        AddinDocument& document;
        const CompareCommands& comparison;
        const ChangeTurn& turn;
        CommandQueue& queue;
    };

    MainActions(const Parts& parts, QMainWindow& window);

    // The rows need the controllers, and the controllers' windows share these keys: the menus
    // are built once both exist.
    void build(const Controllers& controllers);
    QAction* action(const QString& name) const;
    // The shared keys work in `window` too.
    void shareKeys(QWidget& window) const;

private:
    void refresh();
    void showCheck();
    void showAbout();

    Parts m_parts;
    QMainWindow& m_window;
    std::optional<Controllers> m_controllers;
    ActionTable* m_table = nullptr;
};

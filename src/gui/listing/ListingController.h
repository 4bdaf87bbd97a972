// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class AddinDocument;
class ChangeTurn;
class CodeListingWindow;
class CommandQueue;
class DumpState;
class MainActions;
class MarksController;
class Prompts;
class QWidget;
class SourceCommands;

// File > "Code listing": shows the listing's window beside the main window, and saves the
// code as source when its context menu asks.
class ListingController : public QObject {
    Q_OBJECT

public:
    struct Parts {
        Prompts& prompts;
        const AddinDocument& document;
        DumpState& dump;
        const ChangeTurn& turn;
        CommandQueue& queue;
        const MainActions& actions;
        MarksController& marks;
    };

    ListingController(const Parts& parts, QWidget& owner);
    ~ListingController() override;

    void show();

private:
    Parts m_parts;
    QWidget& m_owner;
    std::unique_ptr<SourceCommands> m_sources;
    QPointer<CodeListingWindow> m_window;
};

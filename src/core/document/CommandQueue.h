// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <deque>
#include <functional>

// The window's commands, run from the event loop one after another, never inside the menu,
// shortcut, drop or focus change that asked for one: a question a command asks then has the
// event loop to itself. A command that needs the image as the user sees it first ends the
// edits of the header's text boxes (the finisher), so that their questions come first.
class CommandQueue : public QObject {
    Q_OBJECT

public:
    using Command = std::function<void()>;

    explicit CommandQueue(QObject* parent = nullptr);

    // Ends the edits in progress; set once, by whoever owns them.
    void setEditsFinisher(Command finisher) { m_finisher = std::move(finisher); }
    // Queues `command`; queued commands run in order, each after the one before has ended.
    void request(Command command);
    // Queues `command` to run after the edits in progress have ended.
    void requestAfterEdits(Command command);
    // A command that queues `command` after the edits: for a table of menu items.
    Command afterEdits(Command command);
    void finishEdits();

private:
    void run();

    std::deque<Command> m_commands;
    Command m_finisher;
    bool m_running = false;
};

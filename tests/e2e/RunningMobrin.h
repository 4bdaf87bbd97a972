// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Accessible.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>

class DesktopSession;

// The real mobrin program on a test desktop, seen through its accessibility tree and driven
// with real input events: what a user sees and does, no more.
class RunningMobrin {
public:
    static constexpr int kWaitMs = 10000;

    // `environment` adds to the desktop's; `inChild` runs in the child before the program
    // starts (to set a resource limit, say).
    RunningMobrin(const DesktopSession& desktop, const QStringList& arguments,
                  const QString& workingFolder = QString(),
                  const QProcessEnvironment& environment = {},
                  const std::function<void()>& inChild = {});
    ~RunningMobrin();
    RunningMobrin(const RunningMobrin&) = delete;
    RunningMobrin& operator=(const RunningMobrin&) = delete;

    // Empty when the program runs and its main window is on screen.
    const QString& problem() const { return m_problem; }
    QProcess& process() { return m_process; }
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // What the program wrote to its standard error (sanitizer reports land there).
    QString errors();
    // The first line of a sanitizer's report on standard error; empty when there is none.
    QString sanitizerReport();
    // After each journey: a sanitizer's report fails it, whatever the window showed, and a
    // failed journey leaves a screenshot of the desktop in the temporary folder.
    void endJourney();

    // The main window's caption.
    QString caption() const;
    // An object of the main window, found by its accessible name (a header box is named by
    // its caption) or, failing that, by its description (the tooltip).
    std::optional<Accessible> widget(const QString& name) const;
    QString textOf(const QString& name) const;
    // How many open message boxes show `text`.
    int questionsShowing(const QString& text) const;
    // Waits until a message box shows `text`, then clicks its button `button` ("OK", "Yes").
    bool answer(const QString& text, const QString& button);
    // The open file dialog's name box, once one is open.
    std::optional<Accessible> fileDialogNameBox() const;
    // A window of the program whose caption starts with `caption`.
    std::optional<Accessible> window(const QString& caption) const;

    // Waits until `condition` holds; false after kWaitMs.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = kWaitMs);

    bool click(const Accessible& target, int clicks = 1) const;
    // Clicks the screen at `point`.
    bool clickAt(const QPoint& point, int clicks = 1) const;
    bool key(const QString& keys) const;
    bool type(const QString& text) const;
    // Search > Go to... (Ctrl+G) from the window in front: `place` typed in its box, Enter.
    bool goTo(const QString& place) const;
    // Ends the program as a logout or `kill` would, and waits for it.
    bool terminate();

private:
    std::optional<Accessible> mainWindow() const;

    const DesktopSession& m_desktop;
    QProcess m_process;
    std::optional<Accessible> m_root;
    QString m_problem;
    QTemporaryDir m_errorFolder;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// A desktop of its own for the end-to-end tests: an X server (Xvfb) with a window manager
// (openbox) and a session bus on which the accessibility bus starts on demand. Programs
// started here see only this desktop and a fresh home folder; input reaches them as real
// X events (xdotool, through XTest).
class DesktopSession {
public:
    DesktopSession();
    ~DesktopSession();
    DesktopSession(const DesktopSession&) = delete;
    DesktopSession& operator=(const DesktopSession&) = delete;

    // Empty when the desktop is up; otherwise what is missing or failed.
    const QString& problem() const { return m_problem; }

    // The environment a program on this desktop runs with.
    QProcessEnvironment environment() const { return m_environment; }
    QString sessionBusAddress() const { return m_busAddress; }

    // Runs xdotool with `arguments` and waits for it; false when it failed.
    bool xdotool(const QStringList& arguments) const;
    // Saves the whole screen as a PNG picture.
    bool screenshot(const QString& path) const;

private:
    bool startServer();
    bool startBus();
    bool startWindowManager();

    QString m_problem;
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    QString m_busAddress;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

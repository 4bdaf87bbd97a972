// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QProcess>
#include <QString>

class DesktopSession;

// Another program's window on the test desktop from which a file is dragged with real X
// drag and drop: the mouse goes down on it, moves in steps and comes up over the target.
class DragSource {
public:
    DragSource(const DesktopSession& desktop, const QString& file);
    ~DragSource();
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;

    // Empty when the source window is on screen.
    const QString& problem() const { return m_problem; }
    // Drags the file onto the screen point `target` and lets go there.
    bool dragTo(QPoint target);
    // Waits for the drag to end: "dropped" when the target took the file, "refused" when it
    // did not, empty when the drag never ended.
    QString outcome();

private:
    QString readLine();

    const DesktopSession& m_desktop;
    QProcess m_process;
    QPoint m_centre;
    QString m_problem;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunController.h"

#include "AddinDocument.h"
#include "CommandQueue.h"
#include "MainActions.h"
#include "RunSession.h"
#include "RunWindow.h"

RunController::RunController(const RunSession::Parts& parts, const MainActions& actions,
                             QWidget& owner)
    : m_parts(parts), m_actions(actions), m_owner(owner) {}

RunController::~RunController() {
    // The run reads the document and marks the dump, which go with the main window.
    delete m_window;
}

void RunController::show() {
    if (!m_parts.document.isCompleteAddin()) {
        return;
    }
    if (!m_window) {
        auto* session = new RunSession(m_parts);
        m_window = new RunWindow(*session, &m_owner);
        // The run lives as long as its window: closing the window ends it.
        session->setParent(m_window);
        m_actions.shareKeys(*m_window);
        // Each of the window's requests runs from the queue, if the run is still there then.
        const auto queued = [this, session = QPointer<RunSession>(session)](auto&& command) {
            m_parts.queue.request([session, command] {
                if (session) {
                    command(*session);
                }
            });
        };
        RunWindow* window = m_window;
        connect(window, &RunWindow::commandRequested, this,
                [queued](RunSession::Command command, const RunSession::Answer& answer, int line) {
                    queued([=](RunSession& run) { run.perform(command, answer, line); });
                });
        connect(window, &RunWindow::registerEdited, this, [queued](int index, const QString& text) {
            queued([=](RunSession& run) { run.editRegister(index, text); });
        });
        connect(window, &RunWindow::flagSet, this, [queued](Z80Registers::Flag flag, bool on) {
            queued([=](RunSession& run) { run.setFlag(flag, on); });
        });
        connect(window, &RunWindow::breakpointToggled, this, [queued](int line) {
            queued([=](RunSession& run) { run.toggleBreakpointAt(line); });
        });
        connect(window, &RunWindow::breakpointAdded, this,
                [queued](MachineBreakpoint::Kind kind, const QString& address) {
                    queued([=](RunSession& run) { run.addBreakpoint(kind, address); });
                });
        connect(window, &RunWindow::breakpointRemoved, this, [queued](int index) {
            queued([=](RunSession& run) { run.removeBreakpoint(index); });
        });
        connect(window, &RunWindow::startAgainRequested, this,
                [queued] { queued([](RunSession& run) { run.start(); }); });
        connect(window, &RunWindow::saveAnswersRequested, this,
                [queued] { queued([](RunSession& run) { run.saveAnswers(); }); });
        connect(window, &RunWindow::replayAnswersRequested, this,
                [queued] { queued([](RunSession& run) { run.replayAnswers(); }); });
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunSession.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <utility>

class BreakpointsBox;
class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QToolBar;
class RegistersBox;

// The Run window: the add-in's code run on the emulated Z80 and paused between commands. Its
// listing marks the next instruction ("►", and the line in the dump's program-counter colour)
// and the execute breakpoints ("●"); beside it the registers and flags to edit, the stack with
// labels and the breakpoints; under it the memory from $C000 (system memory, the call
// parameters, the add-in's data and stack). The stop's sentence says why the run stopped; at a
// system call the result (and memory to fill) typed in its fields answers the call when the
// run goes on. Keys as debuggers have them: F5 run, F10 step over, F11 step into, Shift+F11 step
// out, Ctrl+F10 run to the caret, Ctrl+F11 step back, Shift+F5 run backwards, F9 a breakpoint
// at the caret, Ctrl+Shift+F5 start again. It shows its session and sends what the user did as
// signals; it destroys itself when closed, or when another file that cannot be run is opened.
class RunWindow : public QWidget {
    Q_OBJECT

public:
    explicit RunWindow(RunSession& session, QWidget* parent = nullptr);
    ~RunWindow() override;

    QPlainTextEdit* listingView() const { return m_listing; }
    QPlainTextEdit* memoryView() const { return m_memory; }
    RegistersBox* registersBox() const { return m_registers; }
    QLineEdit* resultField() const { return m_result; }
    QLabel* stopLabel() const { return m_stop; }
    QLabel* noteLabel() const { return m_note; }

signals:
    // `line` is the listing's caret line (for RunToLine), `answer` the answer fields.
    void commandRequested(RunSession::Command command, const RunSession::Answer& answer, int line);
    void registerEdited(int index, const QString& text);
    void flagSet(Z80Registers::Flag flag, bool on);
    void breakpointToggled(int line);
    void breakpointAdded(MachineBreakpoint::Kind kind, const QString& address);
    void breakpointRemoved(int index);
    void startAgainRequested();
    void saveAnswersRequested();
    void replayAnswersRequested();

private:
    // The menus and the tool bar, the keys working anywhere in the window.
    std::pair<QMenuBar*, QToolBar*> addActions();
    void layOut(QMenuBar* bar, QToolBar* tools);
    void request(RunSession::Command command);
    void showUpdate(const RunSession::Update& update);
    // Replaces lines `lines` of `view` with `text` of each, keeping the view's caret.
    static void replaceLines(QPlainTextEdit* view, const QList<int>& lines,
                             const std::function<QString(int)>& text);
    void showNext(bool bringIntoView);
    void showAnswerFields();
    int caretLine() const;

    RunSession& m_session;
    QPlainTextEdit* m_listing;
    QPlainTextEdit* m_memory;
    QPlainTextEdit* m_stack;
    QLabel* m_stop;
    QLabel* m_note;
    QLabel* m_next;
    QLabel* m_counters;
    QLineEdit* m_result;
    QLineEdit* m_fills;
    RegistersBox* m_registers;
    BreakpointsBox* m_breakpoints;
    QList<QAction*> m_backActions;
    // The call the answer fields were filled for, by the instructions run before it.
    std::optional<quint64> m_answering;
};

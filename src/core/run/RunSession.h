// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinMachine.h"
#include "ChangeTurn.h"
#include "RunAnswersFiles.h"
#include "RunListing.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class AddinDocument;
class CommandQueue;
class DumpState;
class Prompts;

// A run of the loaded add-in as the Run window shows it: the machine on a copy of the
// document's bytes taken when the run started, the code map of that copy as the window's
// listing (its labels name the stack's return addresses too), the last stop and its sentence,
// and the answers the system calls were given. The dump marks the next instruction's bytes
// (ByteHighlights::Kind::ProgramCounter) while the session lives.
//
// It follows the document once a turn: another file opened starts a run of it, or ends this
// one when it cannot be run; a change to the code while a run is under way asks, once, whether
// to start again (a run nothing has happened in yet starts again without asking). Until the
// user agrees the run goes on with the code it loaded.
class RunSession : public QObject {
    Q_OBJECT

public:
    enum class Command { Run, StepInto, StepOver, StepOut, RunToLine, StepBack, RunBack };
    struct Parts {
        Prompts& prompts;
        const AddinDocument& document;
        DumpState& dump;
        const ChangeTurn& turn;
        CommandQueue& queue;
    };
    // What the user typed to answer a system call: the result, and memory to fill as the
    // answers file writes it ("$F000=0D00").
    struct Answer {
        QString result;
        QString fills;
        bool operator==(const Answer&) const = default;
    };
    // What a view of the run shows differently since the last update.
    struct Update {
        bool relisted = false; // a new run: every line and row afresh
        QList<int> lines;      // listing lines whose marks changed
        QList<int> memoryRows; // memory rows whose bytes changed
    };
    static constexpr int kStackLines = 12;

    // Starts a run of the document, which must be a complete add-in.
    explicit RunSession(const Parts& parts, QObject* parent = nullptr);
    ~RunSession() override;

    // The machine; a session always has one.
    const AddinMachine& machine() const { return *m_machine; }
    const RunListing& listing() const { return m_listing; }
    // "Run add-in - Tafl".
    QString title() const;
    // Line `line` of the listing with its marks.
    QString listingLine(int line) const;
    // The listing's line of the next instruction; none while the program counter is outside it.
    std::optional<int> nextLine() const;
    // The next instruction as decoded where it stands: "9EE0  D7           rst $10".
    QString nextInstruction() const;
    const MachineStop& stop() const { return m_stop; }
    // A refusal, or what the run says besides its stop; empty when nothing.
    const QString& note() const { return m_note; }
    // The program counter stands at a system call (not $42): the next forward command answers it.
    bool awaitsAnswer() const;
    // What the answer fields offer: the answer given last to the same call, else $0000.
    Answer suggestedAnswer() const;
    // The registers before the last command, so that a view can show what it changed.
    const Z80Registers& registersBefore() const { return m_before; }
    QString memoryRow(int row) const;
    QStringList stackLines() const;
    QStringList breakpointLines() const;
    QString countersText() const;

    // Starts again from $8000 on the document's bytes as they are now; breakpoints stay.
    void start();
    // Runs `command`; `line` is the listing's line for RunToLine. A forward command at a system
    // call answers it with `answer` first (the answer counts as the instruction a step takes).
    void perform(Command command, const Answer& answer = {}, int line = -1);
    // The register fields' edits; a refusal becomes the note.
    void editRegister(int index, const QString& text);
    void setFlag(Z80Registers::Flag flag, bool on);
    // F9: an execute breakpoint at the instruction of `line`, set or taken away.
    void toggleBreakpointAt(int line);
    // `address` as hex digits ("$" or "0x" allowed) or a label's name.
    void addBreakpoint(MachineBreakpoint::Kind kind, const QString& address);
    void removeBreakpoint(int index);
    void saveAnswers();
    // Starts again and runs, each system call answered from a file the user names, until
    // anything else stops the run or a call the file does not answer comes.
    void replayAnswers();

signals:
    void updated(const RunSession::Update& update);
    // Another file that cannot be run was opened: the run is over.
    void anotherUnrunnable();

private:
    // The author's marks of the document, for the map of its code.
    static CodeMarks marksOf(const AddinDocument& document);
    void follow(const ChangeTurn::Changes& changes);
    void askToStartAgain();
    bool codeChanged() const;
    // Answers the call the machine stands at; false, with the note saying why, when `answer`
    // is none.
    bool answerCall(const Answer& answer);
    MachineStop execute(Command command, int line);
    MachineStop runBack();
    // After the machine moved: the stop to show, the dump's mark, and the update.
    void moved(const MachineStop& stop);
    void announce(Update update);
    // `bringIntoView`: the run moved, and the dump scrolls to where it stands.
    void markInDump(bool bringIntoView = false);
    std::optional<quint16> addressTyped(const QString& text) const;

    Parts m_parts;
    std::unique_ptr<AddinMachine> m_machine;
    RunListing m_listing;
    MachineStop m_stop;
    QString m_note;
    Z80Registers m_before;
    QByteArray m_shownMemory; // the memory rows as last told
    std::optional<int> m_shownNext;
    bool m_asking = false;   // the question to start again is queued
    bool m_declined = false; // and was answered No: not asked again in this run
    RunAnswersFiles m_files;
};

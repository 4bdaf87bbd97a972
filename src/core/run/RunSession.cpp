// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunSession.h"

#include "AddinDocument.h"
#include "AppTitle.h"
#include "CommandQueue.h"
#include "DumpState.h"
#include "NumberForm.h"
#include "RunRegisters.h"
#include "RunTexts.h"
#include "Z80Step.h"

#include <QPointer>
#include <QRegularExpression>

#include <cstring>

namespace {

using NumberForm::hexWord;
using Kind = MachineStop::Kind;

QByteArray shownMemory(const AddinMachine& machine) {
    return machine.memory().sliced(RunTexts::kMemoryStart).toByteArray();
}

} // namespace

RunSession::RunSession(const Parts& parts, QObject* parent)
    : QObject(parent), m_parts(parts), m_files(parts.prompts) {
    connect(&parts.turn, &ChangeTurn::ended, this, &RunSession::follow);
    start();
}

RunSession::~RunSession() {
    m_parts.dump.highlights().set(ByteHighlights::Kind::ProgramCounter, {});
}

QString RunSession::title() const {
    const AddinHeader& header = m_parts.document.header();
    const QString name = header.name ? header.name->text().trimmed() : QString();
    return name.isEmpty() ? QStringLiteral("Run add-in") : QStringLiteral("Run add-in - ") + name;
}

CodeMarks RunSession::marksOf(const AddinDocument& document) {
    return document.marks().codeMarks(document.codeStart(), int(document.image().bytes().size()));
}

void RunSession::start() {
    const AddinDocument& document = m_parts.document;
    const QList<MachineBreakpoint> breakpoints =
        m_machine ? m_machine->breakpoints() : QList<MachineBreakpoint>();
    const QByteArray& bytes = document.image().bytes();
    m_machine = std::make_unique<AddinMachine>(bytes, document.header().headSize);
    for (const MachineBreakpoint& breakpoint : breakpoints) {
        m_machine->addBreakpoint(breakpoint);
    }
    m_listing = RunListing(bytes, document.header(), marksOf(document));
    m_declined = false;
    m_before = m_machine->registers();
    m_note = m_machine->notes().join(QLatin1Char(' '));
    m_stop =
        MachineStop::stepped(AddinMachine::kCodeStart, QStringLiteral("Ready to run from $8000."));
    markInDump(true);
    announce({true, {}, {}});
}

QString RunSession::listingLine(int line) const {
    const std::optional<quint16> address = m_listing.addressOf(line);
    const bool instruction = address && !m_listing.isLabelLine(line);
    return m_listing.line(
        line, instruction && m_machine->hasBreakpoint({MachineBreakpoint::Kind::Execute, *address}),
        nextLine() == line);
}

std::optional<int> RunSession::nextLine() const {
    return m_listing.lineOf(m_machine->registers().pc);
}

QString RunSession::nextInstruction() const {
    const quint16 pc = m_machine->registers().pc;
    const int end = qMin(int(pc) + CodeInstruction::kMaxLength, AddinMachine::kMemorySize);
    const CodeListing decoded = CodeListing::ofRange(m_machine->memory(), pc, end, pc);
    return decoded.line(0).first(CodeListing::kTextColumn).toString() +
           RunTexts::instruction(*m_machine, m_listing, pc);
}

bool RunSession::awaitsAnswer() const {
    const quint16 pc = m_machine->registers().pc;
    const QByteArrayView memory = m_machine->memory();
    const InstructionFlow::Shape shape =
        InstructionFlow::of(quint8(memory[pc]), quint8(memory[quint16(pc + 1)]));
    return m_machine->inCode(pc) && shape.flow == InstructionFlow::Flow::Restart &&
           shape.restart == AddinMachine::kSystemCallRestart &&
           !SystemCallStop::read(memory, pc).terminates();
}

RunSession::Answer RunSession::suggestedAnswer() const {
    const SystemCallStop call =
        SystemCallStop::read(m_machine->memory(), m_machine->registers().pc);
    const QList<SystemCallAnswer>& given = m_machine->answersGiven();
    for (auto answer = given.crbegin(); answer != given.crend(); ++answer) {
        if (answer->number == call.number && answer->extendedNumber == call.extendedNumber) {
            QStringList fills;
            for (const MemoryFill& fill : answer->fills) {
                fills << hexWord(fill.address) + QLatin1Char('=') +
                             QString::fromLatin1(fill.bytes.toHex().toUpper());
            }
            return {hexWord(answer->result), fills.join(QLatin1Char(' '))};
        }
    }
    return {hexWord(0), {}};
}

QString RunSession::memoryRow(int row) const {
    return RunTexts::memoryRow(m_machine->memory(), row);
}

QStringList RunSession::stackLines() const {
    return RunTexts::stackLines(*m_machine, m_listing, kStackLines);
}

QStringList RunSession::breakpointLines() const {
    QStringList lines;
    for (const MachineBreakpoint& breakpoint : m_machine->breakpoints()) {
        lines << RunTexts::breakpoint(breakpoint, m_listing);
    }
    return lines;
}

QString RunSession::countersText() const {
    return RunTexts::counters(*m_machine);
}

void RunSession::perform(Command command, const Answer& answer, int line) {
    m_note.clear();
    m_before = m_machine->registers();
    if (command == Command::RunToLine && !m_listing.addressOf(line)) {
        m_note = QStringLiteral("The caret stands on no line of the listing to run to.");
        announce({});
        return;
    }
    const bool forward = command != Command::StepBack && command != Command::RunBack;
    if (forward && awaitsAnswer()) {
        if (!answerCall(answer)) {
            announce({});
            return;
        }
        // The answer was the instruction a step takes.
        if (command == Command::StepInto || command == Command::StepOver) {
            const quint16 pc = m_machine->registers().pc;
            moved(MachineStop::stepped(
                pc, QStringLiteral("Answered the call; stepped to %1.").arg(hexWord(pc))));
            return;
        }
    }
    moved(execute(command, line));
}

bool RunSession::answerCall(const Answer& answer) {
    const SystemCallStop call =
        SystemCallStop::read(m_machine->memory(), m_machine->registers().pc);
    const std::optional<SystemCallAnswer> typed =
        AnswersFile::typed(call, answer.result, answer.fills, m_note);
    return typed && m_machine->answer(typed->result, typed->fills);
}

MachineStop RunSession::execute(Command command, int line) {
    switch (command) {
    case Command::Run:
        return m_machine->run();
    case Command::StepInto:
        return m_machine->step();
    case Command::StepOver:
        return m_machine->stepOver();
    case Command::StepOut:
        return m_machine->stepOut();
    case Command::RunToLine:
        return m_machine->runTo(*m_listing.addressOf(line));
    case Command::StepBack:
        return m_machine->stepBack();
    case Command::RunBack:
        break;
    }
    return runBack();
}

MachineStop RunSession::runBack() {
    MachineStop stop = m_machine->stepBack();
    while (stop.kind == Kind::SteppedBack) {
        const quint16 pc = m_machine->registers().pc;
        if (m_machine->hasBreakpoint({MachineBreakpoint::Kind::Execute, pc})) {
            stop.text = QStringLiteral("Ran back to the breakpoint at %1.").arg(hexWord(pc));
            return stop;
        }
        stop = m_machine->stepBack();
    }
    return stop;
}

void RunSession::moved(const MachineStop& stop) {
    m_stop = stop;
    // Wherever the run came to stand at a call, the call is what it waits for.
    if (stop.kind != Kind::SystemCall && awaitsAnswer()) {
        m_stop = MachineStop::systemCall(
            SystemCallStop::read(m_machine->memory(), m_machine->registers().pc));
        if (stop.kind != Kind::Stepped) {
            m_stop.text = stop.text + QLatin1Char(' ') + m_stop.text;
        }
    }
    markInDump(true);
    announce({});
}

void RunSession::announce(Update update) {
    const std::optional<int> next = nextLine();
    const QByteArray memory = shownMemory(*m_machine);
    if (!update.relisted) {
        if (next != m_shownNext) {
            for (const std::optional<int>& line : {m_shownNext, next}) {
                if (line && !update.lines.contains(*line)) {
                    update.lines.append(*line);
                }
            }
        }
        for (int row = 0; row < RunTexts::kMemoryRows; ++row) {
            const qsizetype at = qsizetype(row) * RunTexts::kBytesPerRow;
            if (std::memcmp(memory.constData() + at, m_shownMemory.constData() + at,
                            RunTexts::kBytesPerRow) != 0) {
                update.memoryRows.append(row);
            }
        }
    }
    m_shownNext = next;
    m_shownMemory = memory;
    emit updated(update);
}

void RunSession::markInDump(bool bringIntoView) {
    QList<ByteRange> marked;
    const AddinDocument& document = m_parts.document;
    const quint16 pc = m_machine->registers().pc;
    const int offset = document.header().headSize + (pc - AddinMachine::kCodeStart);
    const int size = int(document.image().bytes().size());
    if (document.isCompleteAddin() && m_machine->inCode(pc) && offset < size) {
        const int length =
            Z80Step::at(m_machine->memory(), pc, AddinMachine::kMemorySize, pc).length;
        marked.append({offset, qMin(length, size - offset)});
    }
    m_parts.dump.highlights().set(ByteHighlights::Kind::ProgramCounter, marked);
    if (bringIntoView && !marked.isEmpty()) {
        // Stepping, the dump follows the run as the listings do.
        m_parts.dump.bringIntoView(marked.constFirst().start);
    }
}

void RunSession::editRegister(int index, const QString& text) {
    m_note.clear();
    m_before = m_machine->registers();
    const std::optional<Z80Registers> edited =
        RunRegisters::edited(m_machine->registers(), index, text, m_note);
    if (!edited || *edited == m_machine->registers()) {
        announce({});
        return;
    }
    m_machine->setRegisters(*edited);
    const quint16 pc = edited->pc;
    moved(MachineStop::stepped(pc, QStringLiteral("%1 set to %2; the run stands at %3.")
                                       .arg(RunRegisters::names().at(index),
                                            RunRegisters::text(*edited, index), hexWord(pc))));
}

void RunSession::setFlag(Z80Registers::Flag flag, bool on) {
    Z80Registers edited = m_machine->registers();
    edited.setFlag(flag, on);
    if (edited != m_machine->registers()) {
        editRegister(0, RunRegisters::text(edited, 0));
    }
}

void RunSession::toggleBreakpointAt(int line) {
    const std::optional<quint16> address = m_listing.addressOf(line);
    if (!address) {
        return;
    }
    const MachineBreakpoint breakpoint{MachineBreakpoint::Kind::Execute, *address};
    if (m_machine->hasBreakpoint(breakpoint)) {
        m_machine->removeBreakpoint(breakpoint);
    } else {
        m_machine->addBreakpoint(breakpoint);
    }
    m_note.clear();
    announce({false, {*m_listing.lineOf(*address)}, {}});
}

std::optional<quint16> RunSession::addressTyped(const QString& text) const {
    static const QRegularExpression kHex(QStringLiteral("^(?:\\$|0[xX])?([0-9A-Fa-f]{1,4})$"));
    const QString typed = text.trimmed();
    if (const QRegularExpressionMatch hex = kHex.match(typed); hex.hasMatch()) {
        return quint16(hex.captured(1).toUInt(nullptr, 16));
    }
    return m_listing.addressNamed(typed);
}

void RunSession::addBreakpoint(MachineBreakpoint::Kind kind, const QString& address) {
    const std::optional<quint16> at = addressTyped(address);
    if (!at) {
        m_note = QStringLiteral("'%1' is neither an address of up to four hexadecimal digits nor "
                                "the name of a label: no breakpoint was set.")
                     .arg(address.trimmed());
        announce({});
        return;
    }
    m_note.clear();
    m_machine->addBreakpoint({kind, *at});
    Update update;
    if (const std::optional<int> line = m_listing.lineOf(*at);
        line && kind == MachineBreakpoint::Kind::Execute) {
        update.lines.append(*line);
    }
    announce(update);
}

void RunSession::removeBreakpoint(int index) {
    if (index < 0 || index >= m_machine->breakpoints().size()) {
        return;
    }
    const MachineBreakpoint breakpoint = m_machine->breakpoints().at(index);
    m_machine->removeBreakpoint(breakpoint);
    Update update;
    if (const std::optional<int> line = m_listing.lineOf(breakpoint.address);
        line && breakpoint.kind == MachineBreakpoint::Kind::Execute) {
        update.lines.append(*line);
    }
    announce(update);
}

void RunSession::saveAnswers() {
    if (m_machine->answersGiven().isEmpty()) {
        m_note = QStringLiteral("No system call has been answered in this run: there are no "
                                "answers to save.");
        announce({});
        return;
    }
    m_files.save(m_machine->answersGiven(), m_parts.document.path());
}

void RunSession::replayAnswers() {
    std::optional<AnswersFile> file = m_files.choose(m_parts.document.path());
    if (!file) {
        return;
    }
    start();
    // One budget for the whole replay: an add-in that asks for events for ever stops.
    const quint64 budget = AddinMachine::kDefaultBudget;
    int replayed = 0;
    MachineStop stop = m_machine->run(budget);
    while (stop.kind == Kind::SystemCall) {
        const quint64 done = m_machine->counters().instructions;
        const std::optional<SystemCallAnswer> given = file->next(*stop.call);
        if (!given || done >= budget) {
            break;
        }
        m_machine->answer(given->result, given->fills);
        ++replayed;
        stop = m_machine->run(qMax<quint64>(1, budget - done - 1));
    }
    m_note = replayed == 1 ? QStringLiteral("1 answer replayed from the file.")
                           : QStringLiteral("%1 answers replayed from the file.").arg(replayed);
    moved(stop);
}

void RunSession::follow(const ChangeTurn::Changes& changes) {
    const AddinDocument& document = m_parts.document;
    if (changes.replaced) {
        if (document.isCompleteAddin()) {
            start();
        } else {
            emit anotherUnrunnable();
        }
        return;
    }
    if (!changes.content()) {
        if (changes.marks && document.isCompleteAddin()) {
            // A label named or a kind marked: the same run, listed with the author's names.
            m_listing = RunListing(document.image().bytes(), document.header(), marksOf(document));
            announce({true, {}, {}});
        }
        return;
    }
    // An edit of the header moves the code's bytes in the file.
    markInDump();
    if (!codeChanged()) {
        return;
    }
    // Nothing has happened in this run yet: there is nothing to lose.
    if (m_machine->journalSize() == 0) {
        start();
    } else if (!m_declined && !m_asking) {
        m_asking = true;
        m_parts.queue.request([session = QPointer<RunSession>(this)] {
            if (session) {
                session->askToStartAgain();
            }
        });
    }
}

bool RunSession::codeChanged() const {
    const AddinDocument& document = m_parts.document;
    return document.isCompleteAddin() &&
           !m_machine->loadedCodeOf(document.image().bytes(), document.header().headSize);
}

void RunSession::askToStartAgain() {
    m_asking = false;
    if (!codeChanged()) {
        return;
    }
    const Prompts::Answer answer = m_parts.prompts.ask(
        {QStringLiteral("The add-in's code has changed since the run started. Start the run again "
                        "from $8000 with the code as it is now?"),
         appTitle(), Prompts::Icon::Question, Prompts::Buttons::YesNo, Prompts::Answer::Yes});
    if (answer == Prompts::Answer::Yes) {
        start();
        return;
    }
    m_declined = true;
    m_note = QStringLiteral("The run goes on with the code as it was when it started; Start "
                            "again takes the code as it is now.");
    announce({});
}

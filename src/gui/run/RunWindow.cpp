// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunWindow.h"

#include "AppIcon.h"
#include "BreakpointsBox.h"
#include "OwnerPlacement.h"
#include "PaneLinePainter.h"
#include "RegistersBox.h"
#include "RunTexts.h"

#include <QAction>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolBar>

namespace {

using Command = RunSession::Command;

// The listing's and the memory's columns, and lines enough to read the code around the mark.
constexpr int kColumnsInView = RunTexts::kBytesPerRow * 4 + 11;
constexpr int kListingLines = 16;
constexpr int kMemoryLines = 6;
constexpr int kStackLines = 5;
constexpr int kStackColumns = 36;

QPlainTextEdit* textView(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* view = new QPlainTextEdit(parent);
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(accessibleName);
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setUndoRedoEnabled(false);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return view;
}

QLabel* label(QWidget* parent, const char* name, const QString& description) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    // A label's name is its text: a screen reader finds it by what it is for.
    label->setAccessibleDescription(description);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

RunWindow::~RunWindow() {
    // Destroying the window takes the focus from a register field, whose edit would reach this
    // window once its members are gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

RunWindow::RunWindow(RunSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), m_session(session),
      m_listing(textView(this, "txtRunListing", QStringLiteral("Run listing"))),
      m_memory(textView(this, "txtRunMemory", QStringLiteral("Memory from C000"))),
      m_stack(textView(this, "txtRunStack", QStringLiteral("Stack"))),
      m_stop(label(this, "lblRunStop", QStringLiteral("Why the run stopped"))),
      m_note(label(this, "lblRunNote", QStringLiteral("Note"))),
      m_next(label(this, "lblRunNext", QStringLiteral("Next instruction"))),
      m_counters(label(this, "lblRunCounters", QStringLiteral("Counters"))),
      m_result(new QLineEdit(this)), m_fills(new QLineEdit(this)),
      m_registers(new RegistersBox(this)), m_breakpoints(new BreakpointsBox(this)) {
    setObjectName(QStringLiteral("frmRun"));
    setWindowIcon(appIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    // It runs the main window's add-in: no reason to keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont bold = m_stop->font();
    bold.setBold(true);
    m_stop->setFont(bold);
    m_next->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_result->setObjectName(QStringLiteral("txtRunResult"));
    m_result->setAccessibleName(QStringLiteral("Result"));
    m_result->setToolTip(QStringLiteral("The call's result, put at $C00E: $0001, 0x1 or 1"));
    m_fills->setObjectName(QStringLiteral("txtRunFill"));
    m_fills->setAccessibleName(QStringLiteral("Memory to fill"));
    m_fills->setPlaceholderText(QStringLiteral("$F000=0D00 ..."));
    m_fills->setToolTip(QStringLiteral("Memory the call fills: the address, '=' and two hex "
                                       "digits a byte; several separated by spaces"));
    const auto [bar, tools] = addActions();
    layOut(bar, tools);
    if (parent) {
        OwnerPlacement::placeBeside(*this, *parent);
    }
    // Enter in an answer field answers the call and runs on.
    for (QLineEdit* field : {m_result, m_fills}) {
        connect(field, &QLineEdit::returnPressed, this, [this] { request(Command::Run); });
    }
    connect(m_registers, &RegistersBox::edited, this, &RunWindow::registerEdited);
    connect(m_registers, &RegistersBox::flagSet, this, &RunWindow::flagSet);
    connect(m_breakpoints, &BreakpointsBox::added, this, &RunWindow::breakpointAdded);
    connect(m_breakpoints, &BreakpointsBox::removed, this, &RunWindow::breakpointRemoved);
    connect(&m_session, &RunSession::updated, this, &RunWindow::showUpdate);
    connect(&m_session, &RunSession::anotherUnrunnable, this, &QWidget::close);
    showUpdate({true, {}, {}});
}

std::pair<QMenuBar*, QToolBar*> RunWindow::addActions() {
    auto* bar = new QMenuBar(this);
    QMenu* run = bar->addMenu(QStringLiteral("&Run"));
    run->setObjectName(QStringLiteral("mnuRun"));
    auto* tools = new QToolBar(this);
    tools->setObjectName(QStringLiteral("tlbRun"));
    tools->setMovable(false);
    const auto add = [&](QMenu* menu, const char* name, const QString& caption,
                         const QString& shortCaption, const QKeySequence& keys,
                         const std::function<void()>& triggered) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setIconText(shortCaption);
        action->setToolTip(keys.isEmpty()
                               ? shortCaption
                               : QStringLiteral("%1 (%2)").arg(
                                     shortCaption, keys.toString(QKeySequence::NativeText)));
        connect(action, &QAction::triggered, this, triggered);
        menu->addAction(action);
        addAction(action);
        if (!shortCaption.isEmpty() && menu == run) {
            tools->addAction(action);
        }
        return action;
    };
    const auto command = [this](Command command) { return [this, command] { request(command); }; };
    add(run, "mnuRunRun", QStringLiteral("&Run"), QStringLiteral("Run"), Qt::Key_F5,
        command(Command::Run));
    add(run, "mnuRunStepOver", QStringLiteral("Step &over"), QStringLiteral("Over"), Qt::Key_F10,
        command(Command::StepOver));
    add(run, "mnuRunStepInto", QStringLiteral("Step &into"), QStringLiteral("Into"), Qt::Key_F11,
        command(Command::StepInto));
    add(run, "mnuRunStepOut", QStringLiteral("Step o&ut"), QStringLiteral("Out"),
        Qt::SHIFT | Qt::Key_F11, command(Command::StepOut));
    add(run, "mnuRunToCaret", QStringLiteral("Run to &caret"), QStringLiteral("To caret"),
        Qt::CTRL | Qt::Key_F10, command(Command::RunToLine));
    m_backActions = {
        add(run, "mnuRunStepBack", QStringLiteral("Step &back"), QStringLiteral("Back"),
            Qt::CTRL | Qt::Key_F11, command(Command::StepBack)),
        add(run, "mnuRunRunBack", QStringLiteral("Run bac&kwards"), QStringLiteral("Run back"),
            Qt::SHIFT | Qt::Key_F5, command(Command::RunBack)),
    };
    run->addSeparator();
    tools->addSeparator();
    QAction* breakpoint = add(run, "mnuRunBreakpoint", QStringLiteral("Toggle break&point"), {},
                              Qt::Key_F9, [this] { emit breakpointToggled(caretLine()); });
    add(run, "mnuRunStartAgain", QStringLiteral("&Start again"), QStringLiteral("Start again"),
        Qt::CTRL | Qt::SHIFT | Qt::Key_F5, [this] { emit startAgainRequested(); });
    QMenu* answers = bar->addMenu(QStringLiteral("&Answers"));
    answers->setObjectName(QStringLiteral("mnuRunAnswers"));
    add(answers, "mnuRunSaveAnswers", QStringLiteral("&Save answers..."), {}, {},
        [this] { emit saveAnswersRequested(); });
    add(answers, "mnuRunReplayAnswers", QStringLiteral("&Replay answers..."), {}, {},
        [this] { emit replayAnswersRequested(); });
    m_listing->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_listing, &QWidget::customContextMenuRequested, this,
            [this, breakpoint](QPoint where) {
                QMenu* menu = m_listing->createStandardContextMenu();
                menu->setAttribute(Qt::WA_DeleteOnClose);
                menu->addSeparator();
                menu->addAction(breakpoint);
                menu->addAction(findChild<QAction*>(QStringLiteral("mnuRunToCaret")));
                menu->popup(m_listing->viewport()->mapToGlobal(where));
            });
    return {bar, tools};
}

void RunWindow::layOut(QMenuBar* bar, QToolBar* tools) {
    auto* answer = new QHBoxLayout;
    const auto caption = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };
    answer->addWidget(caption(QStringLiteral("R&esult:"), m_result));
    answer->addWidget(m_result);
    answer->addWidget(caption(QStringLiteral("Memory to &fill:"), m_fills));
    answer->addWidget(m_fills, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(m_registers);
    right->addWidget(caption(QStringLiteral("S&tack:"), m_stack));
    right->addWidget(m_stack, 1);
    right->addWidget(m_breakpoints, 1);

    auto* layout = new QGridLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(tools, 0, 0, 1, 2);
    layout->addWidget(m_stop, 1, 0, 1, 2);
    layout->addWidget(m_note, 2, 0, 1, 2);
    layout->addLayout(answer, 3, 0, 1, 2);
    layout->addWidget(m_next, 4, 0);
    layout->addWidget(m_listing, 5, 0);
    layout->addWidget(caption(QStringLiteral("Memory fro&m C000:"), m_memory), 6, 0);
    layout->addWidget(m_memory, 7, 0);
    layout->addLayout(right, 4, 1, 4, 1);
    layout->addWidget(m_counters, 8, 0, 1, 2);
    layout->setRowStretch(5, 3);
    layout->setRowStretch(7, 1);
    layout->setColumnStretch(0, 1);

    const QFontMetrics metrics(m_listing->font());
    const int frame = 2 * m_listing->frameWidth() +
                      m_listing->verticalScrollBar()->sizeHint().width() +
                      2 * int(m_listing->document()->documentMargin());
    m_listing->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * kColumnsInView + frame,
                              metrics.lineSpacing() * kListingLines + frame);
    m_memory->setMinimumHeight(metrics.lineSpacing() * kMemoryLines + frame);
    m_stack->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('0')) * kStackColumns + frame,
                            metrics.lineSpacing() * kStackLines + frame);
    // As small as it can be: it fits beside the main window on a small screen, and grows.
    resize(sizeHint().width(), minimumSizeHint().height());
}

void RunWindow::request(Command command) {
    emit commandRequested(command, {m_result->text(), m_fills->text()}, caretLine());
}

int RunWindow::caretLine() const {
    return m_listing->textCursor().blockNumber();
}

void RunWindow::replaceLines(QPlainTextEdit* view, const QList<int>& lines,
                             const std::function<QString(int)>& text) {
    // The new lines are as long as the old: the user's caret and selection keep their places.
    const QTextCursor caret = view->textCursor();
    const int anchor = caret.anchor();
    const int position = caret.position();
    QTextCursor cursor(view->document());
    for (const int line : lines) {
        const QTextBlock block = view->document()->findBlockByNumber(line);
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertText(text(line));
    }
    QTextCursor restored(view->document());
    restored.setPosition(anchor);
    restored.setPosition(position, QTextCursor::KeepAnchor);
    view->setTextCursor(restored);
}

void RunWindow::showUpdate(const RunSession::Update& update) {
    if (update.relisted) {
        QStringList lines;
        for (int line = 0; line < m_session.listing().lineCount(); ++line) {
            lines << m_session.listingLine(line);
        }
        m_listing->setPlainText(lines.join(QLatin1Char('\n')));
        lines.clear();
        for (int row = 0; row < RunTexts::kMemoryRows; ++row) {
            lines << m_session.memoryRow(row);
        }
        m_memory->setPlainText(lines.join(QLatin1Char('\n')));
    } else {
        replaceLines(m_listing, update.lines,
                     [this](int line) { return m_session.listingLine(line); });
        replaceLines(m_memory, update.memoryRows,
                     [this](int row) { return m_session.memoryRow(row); });
    }
    if (const QString title = m_session.title(); windowTitle() != title) {
        setWindowTitle(title);
    }
    const AddinMachine& machine = m_session.machine();
    m_registers->showRegisters(machine.registers(), m_session.registersBefore());
    if (const QString stack = m_session.stackLines().join(QLatin1Char('\n'));
        m_stack->toPlainText() != stack) {
        m_stack->setPlainText(stack);
    }
    m_breakpoints->showBreakpoints(m_session.breakpointLines());
    m_stop->setText(m_session.stop().text);
    m_note->setText(m_session.note());
    m_note->setVisible(!m_session.note().isEmpty());
    m_next->setText(QStringLiteral("Next: ") + m_session.nextInstruction());
    m_counters->setText(m_session.countersText());
    for (QAction* back : std::as_const(m_backActions)) {
        back->setEnabled(machine.journalSize() > 0);
    }
    showNext(update.relisted || !update.lines.isEmpty());
    showAnswerFields();
}

void RunWindow::showNext(bool bringIntoView) {
    QList<QTextEdit::ExtraSelection> marks;
    const std::optional<int> next = m_session.nextLine();
    if (next) {
        QTextEdit::ExtraSelection marked;
        marked.format.setBackground(PaneLinePainter::highlightColour(
            ByteHighlights::Kind::ProgramCounter, palette().color(QPalette::Base)));
        marked.format.setProperty(QTextFormat::FullWidthSelection, true);
        marked.cursor = QTextCursor(m_listing->document()->findBlockByNumber(*next));
        marks.append(marked);
    }
    m_listing->setExtraSelections(marks);
    if (!next || !bringIntoView) {
        return;
    }
    // Without wrapping, the scroll bar counts lines.
    QScrollBar* bar = m_listing->verticalScrollBar();
    const int inView =
        std::max(1, m_listing->viewport()->height() / m_listing->fontMetrics().lineSpacing());
    if (*next < bar->value() || *next >= bar->value() + inView) {
        bar->setValue(*next - inView / 3);
    }
}

void RunWindow::showAnswerFields() {
    const bool awaits = m_session.awaitsAnswer();
    const quint64 at = m_session.machine().counters().instructions;
    const bool hadFocus = m_result->hasFocus() || m_fills->hasFocus();
    m_result->setEnabled(awaits);
    m_fills->setEnabled(awaits);
    if (!awaits) {
        m_answering.reset();
        m_result->clear();
        m_fills->clear();
        if (hadFocus) {
            m_listing->setFocus();
        }
        return;
    }
    // A call just come: the answer it got last time, ready to be typed over.
    if (m_answering != at) {
        m_answering = at;
        const RunSession::Answer suggested = m_session.suggestedAnswer();
        m_result->setText(suggested.result);
        m_fills->setText(suggested.fills);
        m_result->setFocus();
        m_result->selectAll();
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainActions.h"

#include "AboutBox.h"
#include "ActionTable.h"
#include "AddinCheck.h"
#include "AddinDocument.h"
#include "AppTitle.h"
#include "ByteReadoutController.h"
#include "ChangeTurn.h"
#include "CommandQueue.h"
#include "CompareCommands.h"
#include "CompareController.h"
#include "EditController.h"
#include "FileCommands.h"
#include "HeaderController.h"
#include "ListingController.h"
#include "MarksController.h"
#include "NewAddinController.h"
#include "Prompts.h"
#include "RunController.h"
#include "SearchController.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

namespace {

// The keys that work in the program's other windows too.
const QStringList kSharedKeys = {
    QStringLiteral("mnuSearchFind"),
    QStringLiteral("mnuSearchFindNext"),
    QStringLiteral("mnuSearchFindPrevious"),
    QStringLiteral("mnuSearchGoTo"),
    QStringLiteral("mnuSearchNextDifference"),
    QStringLiteral("mnuSearchPreviousDifference"),
    QStringLiteral("mnuEditUndo"),
    QStringLiteral("mnuEditRedo"),
    QStringLiteral("mnuFileListing"),
    QStringLiteral("mnuFileInspector"),
    QStringLiteral("mnuFileRun"),
};

QList<QKeySequence> keys(std::initializer_list<QKeySequence> list) {
    return QList<QKeySequence>(list);
}

QString withWhat(const QString& verb, const QString& what) {
    return what.isEmpty() ? verb : verb + QLatin1Char(' ') + what;
}

} // namespace

MainActions::MainActions(const Parts& parts, QMainWindow& window)
    : QObject(&window), m_parts(parts), m_window(window) {
    connect(&parts.turn, &ChangeTurn::ended, this, &MainActions::refresh);
    connect(&parts.comparison, &CompareCommands::changed, this, &MainActions::refresh);
}

void MainActions::build(const Controllers& controllers) {
    const Controllers& c = m_controllers.emplace(controllers);
    CommandQueue& queue = m_parts.queue;
    const AddinDocument& document = m_parts.document;
    const auto loaded = [&document] { return document.isLoaded(); };
    const auto selected = [&c] { return c.edits.hasSelection(); };
    const auto comparing = [this] { return m_parts.comparison.isComparing(); };
    const auto after = [&queue](std::function<void()> command) {
        return queue.afterEdits(std::move(command));
    };
    const auto queued = [&queue](std::function<void()> command) {
        return [&queue, command = std::move(command)] { queue.request(command); };
    };
    using Direction = RangeStep::Direction;
    const QString file = QStringLiteral("mnuFile");
    const QString edit = QStringLiteral("mnuEdit");
    const QString search = QStringLiteral("mnuSearch");
    const QString marks = QStringLiteral("mnuMarks");
    const QString help = QStringLiteral("mnuHelp");
    const auto bar = [](const QString& menu, const char* name) {
        return ActionTable::Row{menu, QLatin1String(name), {}, {}, {}, {}};
    };
    // Open, Save, Save As, Properties, Exit and About can always be chosen.
    QList<ActionTable::Row> rows = {
        {file,
         QStringLiteral("mnuFileOpen"),
         QStringLiteral("&Open"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_O)}),
         {},
         after([&c] { c.files.open(); })},
        {file,
         QStringLiteral("mnuFileNew"),
         QStringLiteral("&New add-in from code..."),
         keys({QKeySequence(Qt::CTRL | Qt::Key_N)}),
         {},
         after([&c] { c.newAddin.show(); })},
        bar(file, "mnuFileBar1"),
        {file,
         QStringLiteral("mnuFileSave"),
         QStringLiteral("Save"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_S)}),
         {},
         after([&c] { c.files.save(); })},
        {file,
         QStringLiteral("mnuFileSaveAs"),
         QStringLiteral("Save &As..."),
         keys({QKeySequence(Qt::CTRL | Qt::Key_A)}),
         {},
         after([&c] { c.files.saveAs(); })},
        {file,
         QStringLiteral("mnuFileCompare"),
         QStringLiteral("Co&mpare with..."),
         {},
         loaded,
         after([&c] { c.compare.compare(); })},
        bar(file, "mnuFileBar2"),
        {file,
         QStringLiteral("mnuFileProperties"),
         QStringLiteral("Propert&ies"),
         {},
         {},
         after([&c] { c.header.showProperties(); })},
        {file, QStringLiteral("mnuFileListing"), QStringLiteral("Code &listing"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_L)}),
         [&document] { return document.isCompleteAddin(); }, after([&c] { c.listing.show(); })},
        {file, QStringLiteral("mnuFileRun"), QStringLiteral("&Run add-in"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_R)}),
         [&document] { return document.isCompleteAddin(); }, after([&c] { c.run.show(); })},
        {file, QStringLiteral("mnuFileInspector"), QStringLiteral("Data &inspector"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_I)}), loaded, after([&c] { c.readout.show(); })},
        {file,
         QStringLiteral("mnuFileCheck"),
         QStringLiteral("Check add-in"),
         {},
         loaded,
         after([this] { showCheck(); })},
        bar(file, "mnuFileBar5"),
        {file, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), {}, {}, queued([this] {
             m_window.close();
         })},

        {edit, QStringLiteral("mnuEditUndo"), QStringLiteral("&Undo"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_Z)}),
         [this] { return m_parts.document.undoStack().canUndo(); }, [&c] { c.edits.undo(); }},
        {edit, QStringLiteral("mnuEditRedo"), QStringLiteral("&Redo"),
         keys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}),
         [this] { return m_parts.document.undoStack().canRedo(); }, [&c] { c.edits.redo(); }},
        bar(edit, "mnuEditBar1"),
        {edit, QStringLiteral("mnuEditCopy"), QStringLiteral("&Copy"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_C)}), selected, [&c] { c.edits.copy(); }},
        {edit,
         QStringLiteral("mnuEditCopyHex"),
         QStringLiteral("Copy as &hex"),
         {},
         selected,
         [&c] { c.edits.copyHex(); }},
        {edit, QStringLiteral("mnuEditPaste"), QStringLiteral("&Paste over"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_V)}), loaded, [&c] { c.edits.paste(); }},
        bar(edit, "mnuEditBar2"),
        {edit,
         QStringLiteral("mnuEditFill"),
         QStringLiteral("&Fill selection..."),
         {},
         selected,
         [&c] { c.edits.fill(); }},
        {edit,
         QStringLiteral("mnuEditSelectAll"),
         QStringLiteral("Select &all"),
         {},
         loaded,
         [&c] { c.edits.selectAll(); }},

        {search, QStringLiteral("mnuSearchFind"), QStringLiteral("&Find..."),
         keys({QKeySequence(Qt::CTRL | Qt::Key_F)}), loaded, queued([&c] { c.search.showFind(); })},
        {search, QStringLiteral("mnuSearchFindNext"), QStringLiteral("Find &next"),
         keys({QKeySequence(Qt::Key_F3)}), loaded,
         queued([&c] { c.search.find(Direction::Forward); })},
        {search, QStringLiteral("mnuSearchFindPrevious"), QStringLiteral("Find &previous"),
         keys({QKeySequence(Qt::SHIFT | Qt::Key_F3)}), loaded,
         queued([&c] { c.search.find(Direction::Backward); })},
        bar(search, "mnuSearchBar1"),
        {search, QStringLiteral("mnuSearchGoTo"), QStringLiteral("&Go to..."),
         keys({QKeySequence(Qt::CTRL | Qt::Key_G)}), loaded, queued([&c] { c.search.showGoTo(); })},
        bar(search, "mnuSearchBar2"),
        {search, QStringLiteral("mnuSearchNextDifference"), QStringLiteral("Next &difference"),
         keys({QKeySequence(Qt::Key_F7)}), comparing,
         after([&c] { c.compare.step(Direction::Forward); })},
        {search, QStringLiteral("mnuSearchPreviousDifference"),
         QStringLiteral("Previous diff&erence"), keys({QKeySequence(Qt::SHIFT | Qt::Key_F7)}),
         comparing, after([&c] { c.compare.step(Direction::Backward); })},

        {help,
         QStringLiteral("mnuHelpAbout"),
         QStringLiteral("&About Mobrin!..."),
         {},
         {},
         queued([this] { showAbout(); })},
    };
    rows += c.marks.rows(marks);
    m_table = new ActionTable({{file, QStringLiteral("&File")},
                               {edit, QStringLiteral("&Edit")},
                               {search, QStringLiteral("&Search")},
                               {marks, QStringLiteral("Mar&ks")},
                               {help, QStringLiteral("&Help")}},
                              rows, this);
    m_table->buildMenus(m_window.menuBar());
    refresh();
}

QAction* MainActions::action(const QString& name) const {
    return m_table ? m_table->action(name) : nullptr;
}

void MainActions::shareKeys(QWidget& window) const {
    if (m_table) {
        m_table->shareKeys(&window, kSharedKeys);
    }
}

void MainActions::refresh() {
    if (!m_table) {
        return;
    }
    m_table->refresh();
    const QUndoStack& undo = m_parts.document.undoStack();
    action(QStringLiteral("mnuEditUndo"))
        ->setText(withWhat(QStringLiteral("&Undo"), undo.undoText()));
    action(QStringLiteral("mnuEditRedo"))
        ->setText(withWhat(QStringLiteral("&Redo"), undo.redoText()));
}

void MainActions::showCheck() {
    const AddinDocument& document = m_parts.document;
    if (document.isLoaded()) {
        m_parts.prompts.tell(AddinCheck::report(AddinCheck::of(document.image().bytes())),
                             appTitle());
    }
}

void MainActions::showAbout() {
    // Owned by the main window, so that it stays out of task bars and above it.
    AboutBox about(&m_window);
    about.exec();
}

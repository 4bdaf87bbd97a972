// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "AboutBox.h"
#include "ActionTable.h"
#include "AddinCheck.h"
#include "AppTitle.h"
#include "ByteReadoutWindow.h"
#include "CodeListingWindow.h"
#include "CommandTexts.h"
#include "CompareCommands.h"
#include "CompareWindow.h"
#include "DumpFiles.h"
#include "DumpPane.h"
#include "DumpText.h"
#include "DumpView.h"
#include "EditCommands.h"
#include "FieldCommands.h"
#include "FileCommands.h"
#include "FindBox.h"
#include "FindCommands.h"
#include "GoToBox.h"
#include "HeaderArea.h"
#include "IconCode.h"
#include "IconCodeWindow.h"
#include "IconCommands.h"
#include "NewAddinCommands.h"
#include "NewAddinDialog.h"
#include "Prompts.h"
#include "SourceCommands.h"
#include "StatusPanels.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>

namespace {

// The designed client area, status bar included, in pixels.
constexpr QSize kClientSize{636, 363};
constexpr int kStatusBarHeight = 18;

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
};

} // namespace

MainWindow::MainWindow(Prompts& prompts, DumpFiles& dumpFiles, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_dumpFiles(dumpFiles),
      m_document(new AddinDocument(this)), m_dumpState(new DumpState(*m_document, this)),
      m_files(new FileCommands(prompts, *m_document, this)),
      m_fields(std::make_unique<FieldCommands>(prompts, *m_document)),
      m_icons(std::make_unique<IconCommands>(prompts, *m_document)),
      m_sources(std::make_unique<SourceCommands>(prompts, *m_document)),
      m_edits(std::make_unique<EditCommands>(prompts, *m_document, *m_dumpState)),
      m_newAddins(std::make_unique<NewAddinCommands>(prompts, *m_document)) {
    setObjectName(QStringLiteral("main"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    m_dump = new DumpView(*m_dumpState, client);
    m_header = new HeaderArea(client);
    m_status = new StatusPanels(this);
    setStatusBar(m_status);
    // Whichever monospace font the system has; the dump fits it to its own cells.
    m_dump->setDumpFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_finds = std::make_unique<FindCommands>(*m_document, *m_dumpState);
    m_compare = std::make_unique<CompareCommands>(m_prompts, *m_document, *m_dumpState);
    createActions();
    connectDocument();
    connectHeader();
    connectSearch();
    layOut();
    setAcceptDrops(true);
    m_follow.setSingleShot(true);
    m_follow.setInterval(0);
    connect(&m_follow, &QTimer::timeout, this, &MainWindow::followEdits);

    // Start-up: the caption, no file, the hex pane leading, stripping unavailable.
    showCaption();
}

MainWindow::~MainWindow() {
    // Closing the window leaves the icon code open; the window's end takes it along.
    delete m_iconCode;
    // The listing and the inspector read the document and the dump: they go before they do.
    delete m_listing;
    delete m_inspector;
    // Destroying the window hides it, which takes the focus from a header box; no child
    // signal may reach this window once its members are gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

void MainWindow::createActions() {
    const auto loaded = [this] { return m_document->isLoaded(); };
    const auto selected = [this] { return m_edits->hasSelection(); };
    const auto keys = [](std::initializer_list<QKeySequence> list) {
        return QList<QKeySequence>(list);
    };
    const auto afterEdits = [this](std::function<void()> command) {
        return [this, command = std::move(command)] { requestAfterEdits(command); };
    };
    const QString file = QStringLiteral("mnuFile");
    const QString editMenu = QStringLiteral("mnuEdit");
    const QString search = QStringLiteral("mnuSearch");
    const QString help = QStringLiteral("mnuHelp");
    // Open, Save, Save As, Properties, Exit and About can always be chosen.
    const QList<ActionTable::Row> rows = {
        {file,
         QStringLiteral("mnuFileOpen"),
         QStringLiteral("&Open"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_O)}),
         {},
         afterEdits([this] { m_files->open(); })},
        {file,
         QStringLiteral("mnuFileNew"),
         QStringLiteral("&New add-in from code..."),
         keys({QKeySequence(Qt::CTRL | Qt::Key_N)}),
         {},
         afterEdits([this] { showNewAddin(); })},
        {file, QStringLiteral("mnuFileBar1"), {}, {}, {}, {}},
        {file,
         QStringLiteral("mnuFileSave"),
         QStringLiteral("Save"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_S)}),
         {},
         afterEdits([this] { m_files->save(); })},
        {file,
         QStringLiteral("mnuFileSaveAs"),
         QStringLiteral("Save &As..."),
         keys({QKeySequence(Qt::CTRL | Qt::Key_A)}),
         {},
         afterEdits([this] { m_files->saveAs(); })},
        {file,
         QStringLiteral("mnuFileCompare"),
         QStringLiteral("Co&mpare with..."),
         {},
         loaded,
         afterEdits([this] { compare(); })},
        {file, QStringLiteral("mnuFileBar2"), {}, {}, {}, {}},
        {file,
         QStringLiteral("mnuFileProperties"),
         QStringLiteral("Propert&ies"),
         {},
         {},
         afterEdits([this] { showProperties(); })},
        {file, QStringLiteral("mnuFileListing"), QStringLiteral("Code &listing"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_L)}),
         [this] { return m_document->isCompleteAddin(); }, afterEdits([this] { showListing(); })},
        {file, QStringLiteral("mnuFileInspector"), QStringLiteral("Data &inspector"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_I)}), loaded,
         afterEdits([this] { showInspector(); })},
        {file,
         QStringLiteral("mnuFileCheck"),
         QStringLiteral("Check add-in"),
         {},
         loaded,
         afterEdits([this] { showCheck(); })},
        {file, QStringLiteral("mnuFileBar5"), {}, {}, {}, {}},
        {file,
         QStringLiteral("mnuFileExit"),
         QStringLiteral("E&xit"),
         {},
         {},
         [this] { request([this] { close(); }); }},

        {editMenu, QStringLiteral("mnuEditUndo"), QStringLiteral("&Undo"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_Z)}),
         [this] { return m_document->undoStack().canUndo(); },
         [this] {
             edit([this] {
                 m_document->undoStack().undo();
                 return QString();
             });
         }},
        {editMenu, QStringLiteral("mnuEditRedo"), QStringLiteral("&Redo"),
         keys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}),
         [this] { return m_document->undoStack().canRedo(); },
         [this] {
             edit([this] {
                 m_document->undoStack().redo();
                 return QString();
             });
         }},
        {editMenu, QStringLiteral("mnuEditBar1"), {}, {}, {}, {}},
        {editMenu, QStringLiteral("mnuEditCopy"), QStringLiteral("&Copy"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_C)}), selected,
         afterEdits([this] { copy(m_edits->copyText(m_dumpState->leader())); })},
        {editMenu,
         QStringLiteral("mnuEditCopyHex"),
         QStringLiteral("Copy as &hex"),
         {},
         selected,
         afterEdits([this] { copy(m_edits->copyHex()); })},
        {editMenu, QStringLiteral("mnuEditPaste"), QStringLiteral("&Paste over"),
         keys({QKeySequence(Qt::CTRL | Qt::Key_V)}), loaded,
         [this] {
             edit([this] {
                 return m_edits->paste(editedPane(), QGuiApplication::clipboard()->text());
             });
         }},
        {editMenu, QStringLiteral("mnuEditBar2"), {}, {}, {}, {}},
        {editMenu,
         QStringLiteral("mnuEditFill"),
         QStringLiteral("&Fill selection..."),
         {},
         selected,
         [this] { edit([this] { return m_edits->fill(); }); }},
        {editMenu,
         QStringLiteral("mnuEditSelectAll"),
         QStringLiteral("Select &all"),
         {},
         loaded,
         afterEdits([this] { m_edits->selectAll(); })},

        {search, QStringLiteral("mnuSearchFind"), QStringLiteral("&Find..."),
         keys({QKeySequence(Qt::CTRL | Qt::Key_F)}), loaded,
         [this] { request([this] { showFind(); }); }},
        {search, QStringLiteral("mnuSearchFindNext"), QStringLiteral("Find &next"),
         keys({QKeySequence(Qt::Key_F3)}), loaded,
         [this] { request([this] { find(RangeStep::Direction::Forward); }); }},
        {search, QStringLiteral("mnuSearchFindPrevious"), QStringLiteral("Find &previous"),
         keys({QKeySequence(Qt::SHIFT | Qt::Key_F3)}), loaded,
         [this] { request([this] { find(RangeStep::Direction::Backward); }); }},
        {search, QStringLiteral("mnuSearchBar1"), {}, {}, {}, {}},
        {search, QStringLiteral("mnuSearchGoTo"), QStringLiteral("&Go to..."),
         keys({QKeySequence(Qt::CTRL | Qt::Key_G)}), loaded,
         [this] { request([this] { showGoTo(); }); }},
        {search, QStringLiteral("mnuSearchBar2"), {}, {}, {}, {}},
        {search, QStringLiteral("mnuSearchNextDifference"), QStringLiteral("Next &difference"),
         keys({QKeySequence(Qt::Key_F7)}), [this] { return m_compare->isComparing(); },
         afterEdits([this] { stepDifference(RangeStep::Direction::Forward); })},
        {search, QStringLiteral("mnuSearchPreviousDifference"),
         QStringLiteral("Previous diff&erence"), keys({QKeySequence(Qt::SHIFT | Qt::Key_F7)}),
         [this] { return m_compare->isComparing(); },
         afterEdits([this] { stepDifference(RangeStep::Direction::Backward); })},

        {help,
         QStringLiteral("mnuHelpAbout"),
         QStringLiteral("&About Mobrin!..."),
         {},
         {},
         [this] { request([this] { showAbout(); }); }},
    };
    m_actions = new ActionTable({{file, QStringLiteral("&File")},
                                 {editMenu, QStringLiteral("&Edit")},
                                 {search, QStringLiteral("&Search")},
                                 {help, QStringLiteral("&Help")}},
                                rows, this);
    m_actions->buildMenus(menuBar());
    QUndoStack& undo = m_document->undoStack();
    connect(&undo, &QUndoStack::indexChanged, this, [this] { m_actions->refresh(); });
    connect(&undo, &QUndoStack::undoTextChanged, this, &MainWindow::showUndoCaptions);
    connect(&undo, &QUndoStack::redoTextChanged, this, &MainWindow::showUndoCaptions);
}

void MainWindow::showUndoCaptions() {
    const QUndoStack& undo = m_document->undoStack();
    const auto caption = [](const QString& verb, const QString& what) {
        return what.isEmpty() ? verb : verb + QLatin1Char(' ') + what;
    };
    action(QStringLiteral("mnuEditUndo"))
        ->setText(caption(QStringLiteral("&Undo"), undo.undoText()));
    action(QStringLiteral("mnuEditRedo"))
        ->setText(caption(QStringLiteral("&Redo"), undo.redoText()));
}

QAction* MainWindow::action(const QString& name) const {
    return m_actions->action(name);
}

void MainWindow::layOut() {
    // The designed places: the dump's frame starts two pixels above the client area, under
    // the menu bar, and the status bar runs along the bottom edge.
    m_dump->move(2, -2);
    m_header->setGeometry(2, 257, DumpView::kDesignWidth, 86);
    centralWidget()->setFixedSize(kClientSize.width(), kClientSize.height() - kStatusBarHeight);
    m_status->setFixedHeight(kStatusBarHeight);

    // Keyboard order: the two panes first, then the header area.
    setTabOrder(m_dump->scrASC, m_dump->scrHEX);
    setTabOrder(m_dump->scrHEX, m_header);

    setFixedSize(kClientSize + QSize(0, menuBar()->sizeHint().height()));
    // Customized, so that window managers show no minimize or maximize button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
}

void MainWindow::connectDocument() {
    connect(m_files, &FileCommands::fileChosen, this, &MainWindow::unloadIconCode);
    connect(m_document, &AddinDocument::pathChanged, this, &MainWindow::showCaption);
    // A new image, a confirmed patch or the header stripped: the state has put the selection
    // back on the dump's first byte, and the window shows it all afresh. A header whose size
    // an edit changed while it is stripped shows the dump afresh too, quietly.
    connect(m_dumpState, &DumpState::changed, this, [this](DumpState::Changes what) {
        if (what & DumpState::Change::Content) {
            if (m_editing) {
                renderDump();
                scheduleFollow();
            } else {
                render();
            }
        }
        if (what & (DumpState::Change::Content | DumpState::Change::Selection)) {
            showStatus();
            if (m_inspector) {
                m_inspector->refresh();
            }
        }
        m_actions->refresh();
    });
    connect(m_dumpState, &DumpState::bytesChanged, this, &MainWindow::scheduleFollow);
    connect(m_dump, &DumpView::typed, this, [this](DumpState::Pane pane, const QString& text) {
        edit([this, pane, text] { return m_edits->type(pane, text); });
    });
}

void MainWindow::connectHeader() {
    // An edit ends when the focus moves on; its question waits until that move is over.
    connect(m_header, &HeaderArea::fieldLeft, this,
            [this](AddinDocument::Field field) { request([this, field] { finishEdit(field); }); });
    // However the box is ticked (mouse, keys, a screen reader), the dump follows.
    connect(m_header, &HeaderArea::stripHeaderToggled, this, [this](bool strip) {
        requestAfterEdits([this, strip] { m_dumpState->setStripHeader(strip); });
    });
    connect(m_header, &HeaderArea::iconCodeRequested, this, &MainWindow::showIconCode);
    connect(m_header, &HeaderArea::iconReplaceRequested, this, [this] {
        requestAfterEdits([this] {
            if (m_icons->replaceFromDialog()) {
                refreshIconCode();
            }
        });
    });
    // A picture dropped on the icon replaces it; anything else is opened, as anywhere else.
    connect(m_header, &HeaderArea::fileDroppedOnIcon, this, [this](const QString& path) {
        requestAfterEdits([this, path] {
            if (!m_icons->takesDrop(path)) {
                m_files->openPath(path);
            } else if (m_icons->replaceFrom(path)) {
                refreshIconCode();
            }
        });
    });
}

void MainWindow::tell(const QString& text) {
    m_prompts.tell(text, appTitle());
}

// --- Commands ----------------------------------------------------------------------------

void MainWindow::request(std::function<void()> command) {
    m_requests.push_back(std::move(command));
    QMetaObject::invokeMethod(this, &MainWindow::runRequests, Qt::QueuedConnection);
}

void MainWindow::requestAfterEdits(std::function<void()> command) {
    request([this, command = std::move(command)] {
        finishEdits();
        command();
    });
}

void MainWindow::runRequests() {
    // A command's dialog runs an event loop of its own; what is asked for meanwhile waits
    // for this loop to reach it.
    if (m_runningRequests) {
        return;
    }
    m_runningRequests = true;
    while (!m_requests.empty()) {
        const std::function<void()> command = std::move(m_requests.front());
        m_requests.pop_front();
        command();
    }
    m_runningRequests = false;
}

void MainWindow::openFile(const QString& path) {
    requestAfterEdits([this, path] { m_files->openPath(path); });
}

void MainWindow::finishEdits() {
    finishEdit(AddinDocument::Field::Name);
    finishEdit(AddinDocument::Field::Description);
}

void MainWindow::finishEdit(AddinDocument::Field field) {
    const std::optional<QString> text = m_header->endEdit(field);
    // A written patch shows itself through the document; anything else leaves the image's own
    // text to be shown again.
    if (text && !m_fields->patch(field, *text)) {
        m_header->showField(field, *m_document);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closeAgreed) {
        event->accept();
        return;
    }
    // The close box and Exit alike: the edit's question first, then the one about the
    // unsaved changes, each outside the close request's own handling.
    event->ignore();
    requestAfterEdits([this] {
        if (m_document->isPatched()) {
            const Prompts::Answer answer = m_prompts.ask(
                {QStringLiteral("Discard the changes?"), QStringLiteral("Add-in changed!"),
                 Prompts::Icon::Question, Prompts::Buttons::YesNo, Prompts::Answer::No});
            if (answer != Prompts::Answer::Yes) {
                return;
            }
        }
        m_closeAgreed = true;
        close();
        m_closeAgreed = false;
    });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    // The drop ends before the file is opened, so that its questions are not asked while
    // the drag source waits.
    openFile(urls.constFirst().toLocalFile());
}

// --- Editing -----------------------------------------------------------------------------

void MainWindow::edit(std::function<QString()> command) {
    requestAfterEdits([this, command = std::move(command)] {
        m_editing = true;
        const QString refusal = command();
        m_editing = false;
        // A refusal, or else a header the edit left damaged, named where it does not stop
        // the typing.
        m_status->showNote(refusal.isEmpty() ? m_document->header().problemText() : refusal);
    });
}

DumpState::Pane MainWindow::editedPane() const {
    // Keys and Paste go to the pane with the focus; without one, to the leading pane.
    const DumpPane* focused = m_dump->focusedPane();
    return focused ? focused->kind() : m_dumpState->leader();
}

void MainWindow::copy(const QString& text) {
    if (!text.isEmpty()) {
        QGuiApplication::clipboard()->setText(text);
    }
}

void MainWindow::scheduleFollow() {
    // A timer runs once the events already waiting are done, so a run of edits (a held key,
    // a script of undos) is followed once.
    m_follow.start();
}

void MainWindow::followEdits() {
    if (!m_document->isLoaded()) {
        return;
    }
    m_header->show(*m_document);
    m_header->showStripHeader(m_dumpState->stripHeader(), true);
    refreshIconCode();
    if (m_listing) {
        m_listing->refresh();
    }
    if (m_inspector) {
        m_inspector->refresh();
    }
    m_actions->refresh();
}

// --- Accessory windows ------------------------------------------------------------------

void MainWindow::showAbout() {
    // Owned by this window, so that it stays out of task bars and above this window.
    AboutBox about(this);
    about.exec();
}

void MainWindow::showIconCode() {
    if (!m_document->hasIcon()) {
        return;
    }
    if (!m_iconCode) {
        m_iconCode = new IconCodeWindow();
    }
    m_iconCode->show();
    m_iconCode->raise();
    m_iconCode->activateWindow();
    refreshIconCode();
}

void MainWindow::refreshIconCode() {
    if (m_iconCode) {
        m_iconCode->setCode(IconCode::fromBytes(m_document->header().icon));
    }
}

IconCodeWindow* MainWindow::iconCodeWindow() const {
    return m_iconCode;
}

void MainWindow::showListing() {
    if (!m_document->isCompleteAddin()) {
        return;
    }
    if (!m_listing) {
        m_listing = new CodeListingWindow(*m_document, *m_dumpState, this);
        shareKeys(m_listing);
        connect(m_listing, &CodeListingWindow::saveSourceRequested, this,
                [this] { requestAfterEdits([this] { m_sources->saveSource(); }); });
    }
    m_listing->show();
    m_listing->raise();
    m_listing->activateWindow();
    // Once shown, it knows how many lines it has room for when it scrolls to the dump's caret.
    m_listing->refresh();
}

void MainWindow::showInspector() {
    if (!m_document->isLoaded()) {
        return;
    }
    if (!m_inspector) {
        m_inspector = new ByteReadoutWindow(*m_dumpState, this);
        shareKeys(m_inspector);
        connect(m_inspector, &ByteReadoutWindow::valueTyped, this,
                [this](ByteReadout::Value value, const QString& text) {
                    edit([this, value, text] {
                        QString refusal = m_edits->setValue(value, text);
                        if (m_inspector) {
                            // A refused value gives way to the byte as it is.
                            m_inspector->showNote(refusal);
                            m_inspector->refresh();
                        }
                        return refusal;
                    });
                });
    }
    m_inspector->refresh();
    m_inspector->present();
}

void MainWindow::showNewAddin() {
    if (!m_newAddin) {
        m_newAddin = new NewAddinDialog(this);
        connect(m_newAddin, &NewAddinDialog::codeBrowseRequested, this, [this] {
            request([this] {
                if (const auto path = m_newAddins->chooseCode(m_newAddin->fields().codePath)) {
                    m_newAddin->setCodePath(*path);
                }
            });
        });
        connect(m_newAddin, &NewAddinDialog::iconBrowseRequested, this, [this] {
            request([this] {
                if (const auto path = m_newAddins->chooseIcon(m_newAddin->fields().iconPath)) {
                    m_newAddin->setIconPath(*path);
                }
            });
        });
        connect(m_newAddin, &NewAddinDialog::createRequested, this,
                [this] { requestAfterEdits([this] { createAddin(); }); });
    }
    m_newAddin->showRefusal({});
    m_newAddin->open();
}

NewAddinDialog* MainWindow::newAddinDialog() const {
    return m_newAddin;
}

void MainWindow::createAddin() {
    const NewAddinCommands::Outcome outcome = m_newAddins->create(m_newAddin->fields());
    m_newAddin->showRefusal(outcome.refusal);
    if (outcome.created) {
        m_newAddin->accept();
        unloadIconCode();
        m_files->suggestName(m_newAddins->suggestedPath());
    }
}

void MainWindow::showCheck() {
    if (m_document->isLoaded()) {
        tell(AddinCheck::report(AddinCheck::of(m_document->image().bytes())));
    }
}

CodeListingWindow* MainWindow::listingWindow() const {
    return m_listing;
}

ByteReadoutWindow* MainWindow::inspectorWindow() const {
    return m_inspector;
}

void MainWindow::unloadIconCode() {
    if (m_iconCode) {
        m_iconCode->close();
    }
}

// --- Showing the document ----------------------------------------------------------------

void MainWindow::showProperties() {
    if (!m_document->isLoaded()) {
        return;
    }
    m_header->show(*m_document);
    if (!m_document->header().complete()) {
        tell(m_document->header().problemText());
    }
}

void MainWindow::render() {
    m_header->showStripHeader(m_dumpState->stripHeader(), true);
    showProperties();
    renderDump();
    m_dump->focusHexPane();
    m_actions->refresh();
}

void MainWindow::renderDump() {
    // The rendering goes through the two temporary files, as it always has; the panes paint
    // the bytes themselves, so the files only have to be written and read back whole.
    const QByteArrayView range = m_dumpState->shownBytes();
    QString reason;
    if (!m_dumpFiles.roundTrip(DumpText::hexText(range), DumpText::asciiText(range), &reason)) {
        // The panes show the new image all the same, in step with the header, the caption
        // and the size.
        tell(CommandTexts::withReason(QStringLiteral("Error opening temporary files!!"), reason));
    }
}

void MainWindow::showStatus() {
    const DumpState::Selection selection = m_dumpState->selection();
    m_status->showValues(m_dumpState->dumpPosition(), selection.length,
                         m_document->image().fileSize());
}

void MainWindow::showCaption() {
    if (!m_document->isLoaded()) {
        setWindowTitle(appTitle() + QStringLiteral(" - By Keldor"));
        return;
    }
    // A new add-in has no file to name until it is saved.
    const QString path = m_document->path();
    setWindowTitle(appTitle() + QStringLiteral(" : ") +
                   (path.isEmpty() ? QStringLiteral("(new add-in, not saved)") : path));
}

// --- Find, go to and compare -------------------------------------------------------------

void MainWindow::connectSearch() {
    connect(m_compare.get(), &CompareCommands::changed, this, &MainWindow::showComparison);
    connect(m_dumpState, &DumpState::changed, this, [this](DumpState::Changes what) {
        // A note speaks of the selection it was made for.
        if (what & (DumpState::Change::Content | DumpState::Change::Selection)) {
            m_status->showNote({});
        }
    });
}

void MainWindow::shareKeys(QWidget* window) const {
    m_actions->shareKeys(window, kSharedKeys);
}

void MainWindow::showFind() {
    if (!m_findBox) {
        m_findBox = new FindBox(this);
        shareKeys(m_findBox);
        connect(m_findBox, &FindBox::findRequested, this, [this](RangeStep::Direction direction) {
            request([this, direction] { find(direction); });
        });
    }
    m_findBox->present();
}

void MainWindow::find(RangeStep::Direction direction) {
    // F3 before any pattern was typed: the box, to type one.
    if (!m_findBox) {
        showFind();
        return;
    }
    finishEdits();
    const FindCommands::Outcome outcome = m_finds->find(m_findBox->query(), direction);
    m_findBox->showRefusal(outcome.refusal);
    if (!outcome.refusal.isEmpty()) {
        m_findBox->present();
        return;
    }
    m_status->showNote(outcome.note);
}

void MainWindow::showGoTo() {
    if (!m_goToBox) {
        m_goToBox = new GoToBox(this);
        shareKeys(m_goToBox);
        connect(m_goToBox, &GoToBox::goRequested, this, [this] { request([this] { goTo(); }); });
    }
    m_goToBox->present();
}

void MainWindow::goTo() {
    finishEdits();
    const FindCommands::Outcome outcome = m_finds->goTo(m_goToBox->typed());
    m_goToBox->showRefusal(outcome.refusal);
    if (!outcome.refusal.isEmpty()) {
        return;
    }
    // There: the box has done its work, and the keys go back to the dump.
    m_goToBox->hide();
    activateWindow();
    m_dump->activePane()->setFocus(Qt::OtherFocusReason);
}

void MainWindow::compare() {
    if (m_compare->compareWithChosen()) {
        m_status->showNote(m_compare->comparison()->lengthNote());
    }
}

void MainWindow::stepDifference(RangeStep::Direction direction) {
    const QString note = m_compare->step(direction);
    m_status->showNote(note);
}

void MainWindow::showComparison() {
    m_actions->refresh();
    if (!m_compare->isComparing()) {
        if (m_compareWindow) {
            m_compareWindow->hide();
        }
        return;
    }
    if (!m_compareWindow) {
        m_compareWindow = new CompareWindow(this);
        shareKeys(m_compareWindow);
        connect(m_compareWindow, &CompareWindow::stepRequested, this,
                [this](RangeStep::Direction direction) {
                    request([this, direction] { stepDifference(direction); });
                });
        // Closing the window ends the comparison and takes the marks away.
        connect(m_compareWindow, &CompareWindow::closed, this,
                [this] { request([this] { m_compare->end(); }); });
    }
    m_compareWindow->showComparison(m_compare->summary(),
                                    m_compare->comparison()->headerDifferences());
    if (!m_compareWindow->isVisible()) {
        m_compareWindow->present();
    }
}

FindBox* MainWindow::findBox() const {
    return m_findBox;
}

GoToBox* MainWindow::goToBox() const {
    return m_goToBox;
}

CompareWindow* MainWindow::compareWindow() const {
    return m_compareWindow;
}

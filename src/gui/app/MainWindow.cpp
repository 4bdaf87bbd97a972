// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "AboutBox.h"
#include "AddinCheck.h"
#include "AppTitle.h"
#include "CodeListingWindow.h"
#include "CommandTexts.h"
#include "CompareCommands.h"
#include "CompareWindow.h"
#include "DumpFiles.h"
#include "DumpPane.h"
#include "DumpState.h"
#include "DumpText.h"
#include "DumpView.h"
#include "FieldCommands.h"
#include "FileCommands.h"
#include "FindBox.h"
#include "FindCommands.h"
#include "GoToBox.h"
#include "HeaderArea.h"
#include "IconCode.h"
#include "IconCodeWindow.h"
#include "IconCommands.h"
#include "Prompts.h"
#include "SourceCommands.h"
#include "StatusPanels.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFontDatabase>
#include <QMenuBar>
#include <QMimeData>

namespace {

// The designed client area, status bar included, in pixels.
constexpr QSize kClientSize{636, 363};
constexpr int kStatusBarHeight = 18;

} // namespace

MainWindow::MainWindow(Prompts& prompts, DumpFiles& dumpFiles, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_dumpFiles(dumpFiles),
      m_document(new AddinDocument(this)), m_dumpState(new DumpState(*m_document, this)),
      m_files(new FileCommands(prompts, *m_document, this)),
      m_fields(std::make_unique<FieldCommands>(prompts, *m_document)),
      m_icons(std::make_unique<IconCommands>(prompts, *m_document)),
      m_sources(std::make_unique<SourceCommands>(prompts, *m_document)) {
    setObjectName(QStringLiteral("main"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    m_dump = new DumpView(*m_dumpState, client);
    m_header = new HeaderArea(client);
    m_status = new StatusPanels(this);
    setStatusBar(m_status);
    // Whichever monospace font the system has; the dump fits it to its own cells.
    m_dump->setDumpFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    createMenus();
    connectDocument();
    connectHeader();
    connectSearch();
    layOut();
    setAcceptDrops(true);

    // Start-up: the caption, no file, the hex pane leading, stripping unavailable.
    showCaption();
}

MainWindow::~MainWindow() {
    // Closing the window leaves the icon code open; the window's end takes it along.
    delete m_iconCode;
    // The listing reads the document and the dump: it goes before they do.
    delete m_listing;
    // Destroying the window hides it, which takes the focus from a header box; no child
    // signal may reach this window once its members are gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    auto add = [this](QMenu* menu, const QString& name, const QString& caption,
                      const QKeySequence& shortcut, std::function<void()> command) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(name);
        item->setShortcut(shortcut);
        // The menu's keys work wherever the focus is, the dump panes included.
        item->setShortcutContext(Qt::WindowShortcut);
        connect(item, &QAction::triggered, this,
                [this, command = std::move(command)] { request(command); });
        return item;
    };
    add(file, QStringLiteral("mnuFileOpen"), QStringLiteral("&Open"),
        QKeySequence(Qt::CTRL | Qt::Key_O), [this] {
            finishEdits();
            m_files->open();
        });
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar1"));
    add(file, QStringLiteral("mnuFileSave"), QStringLiteral("Save"),
        QKeySequence(Qt::CTRL | Qt::Key_S), [this] {
            finishEdits();
            m_files->save();
        });
    add(file, QStringLiteral("mnuFileSaveAs"), QStringLiteral("Save &As..."),
        QKeySequence(Qt::CTRL | Qt::Key_A), [this] {
            finishEdits();
            m_files->saveAs();
        });
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar2"));
    add(file, QStringLiteral("mnuFileProperties"), QStringLiteral("Propert&ies"), {}, [this] {
        finishEdits();
        showProperties();
    });
    QAction* listing = add(file, QStringLiteral("mnuFileListing"), QStringLiteral("Code &listing"),
                           QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
                               finishEdits();
                               showListing();
                           });
    listing->setEnabled(false);
    add(file, QStringLiteral("mnuFileCheck"), QStringLiteral("Check add-in"), {}, [this] {
        finishEdits();
        showCheck();
    })->setEnabled(false);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar5"));
    add(file, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), {}, [this] { close(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About Mobrin!..."), {},
        [this] { showAbout(); });
    createSearchMenus(add);
}

QAction* MainWindow::action(const QString& name) const {
    return findChild<QAction*>(name);
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
    // A new or patched image, or the header stripped: the state has put the selection back on
    // the dump's first byte, and the window shows it all afresh.
    connect(m_dumpState, &DumpState::changed, this, [this](DumpState::Changes what) {
        if (what & DumpState::Change::Content) {
            render();
        }
        if (what & (DumpState::Change::Content | DumpState::Change::Selection)) {
            showStatus();
        }
    });
}

void MainWindow::connectHeader() {
    // An edit ends when the focus moves on; its question waits until that move is over.
    connect(m_header, &HeaderArea::fieldLeft, this,
            [this](AddinDocument::Field field) { request([this, field] { finishEdit(field); }); });
    // However the box is ticked (mouse, keys, a screen reader), the dump follows.
    connect(m_header, &HeaderArea::stripHeaderToggled, this, [this](bool strip) {
        request([this, strip] {
            finishEdits();
            m_dumpState->setStripHeader(strip);
        });
    });
    connect(m_header, &HeaderArea::iconCodeRequested, this, &MainWindow::showIconCode);
    connect(m_header, &HeaderArea::iconReplaceRequested, this, [this] {
        request([this] {
            finishEdits();
            if (m_icons->replaceFromDialog()) {
                refreshIconCode();
            }
        });
    });
    // A picture dropped on the icon replaces it; anything else is opened, as anywhere else.
    connect(m_header, &HeaderArea::fileDroppedOnIcon, this, [this](const QString& path) {
        request([this, path] {
            finishEdits();
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
    request([this, path] {
        finishEdits();
        m_files->openPath(path);
    });
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
    request([this] {
        finishEdits();
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
        connect(m_listing, &CodeListingWindow::saveSourceRequested, this, [this] {
            request([this] {
                finishEdits();
                m_sources->saveSource();
            });
        });
    }
    m_listing->show();
    m_listing->raise();
    m_listing->activateWindow();
    // Once shown, it knows how many lines it has room for when it scrolls to the dump's caret.
    m_listing->refresh();
}

void MainWindow::showCheck() {
    if (m_document->isLoaded()) {
        tell(AddinCheck::report(AddinCheck::of(m_document->image().bytes())));
    }
}

CodeListingWindow* MainWindow::listingWindow() const {
    return m_listing;
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
    action(QStringLiteral("mnuFileListing"))->setEnabled(m_document->isCompleteAddin());
    action(QStringLiteral("mnuFileCheck"))->setEnabled(true);
    showProperties();
    renderDump();
}

void MainWindow::renderDump() {
    const QByteArrayView range = m_dumpState->shownBytes();
    const QString hex = DumpText::hexText(range);
    const QString ascii = DumpText::asciiText(range);
    QString reason;
    const auto texts = m_dumpFiles.roundTrip(hex, ascii, &reason);
    if (!texts) {
        // The texts in memory are what the files would have brought back: the panes show the
        // new image all the same, in step with the header, the caption and the size.
        tell(CommandTexts::withReason(QStringLiteral("Error opening temporary files!!"), reason));
    }
    m_dump->showTexts(texts ? texts->hex : hex, texts ? texts->ascii : ascii);
    m_dump->focusHexPane();
}

void MainWindow::showStatus() {
    const DumpState::Selection selection = m_dumpState->selection();
    m_status->showValues(m_dumpState->dumpPosition(), selection.length,
                         m_document->image().fileSize());
}

void MainWindow::showCaption() {
    setWindowTitle(m_document->isLoaded() ? appTitle() + QStringLiteral(" : ") + m_document->path()
                                          : appTitle() + QStringLiteral(" - By Keldor"));
}

// --- Find, go to and compare -------------------------------------------------------------

void MainWindow::createSearchMenus(const AddCommand& add) {
    // Search stands between File and Help, where users look for Find and Go to.
    auto* search = new QMenu(QStringLiteral("&Search"), menuBar());
    search->setObjectName(QStringLiteral("mnuSearch"));
    menuBar()->insertMenu(findChild<QMenu*>(QStringLiteral("mnuHelp"))->menuAction(), search);
    add(search, QStringLiteral("mnuSearchFind"), QStringLiteral("&Find..."),
        QKeySequence(Qt::CTRL | Qt::Key_F), [this] { showFind(); });
    add(search, QStringLiteral("mnuSearchFindNext"), QStringLiteral("Find &next"),
        QKeySequence(Qt::Key_F3), [this] { find(RangeStep::Direction::Forward); });
    add(search, QStringLiteral("mnuSearchFindPrevious"), QStringLiteral("Find &previous"),
        QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { find(RangeStep::Direction::Backward); });
    search->addSeparator()->setObjectName(QStringLiteral("mnuSearchBar1"));
    add(search, QStringLiteral("mnuSearchGoTo"), QStringLiteral("&Go to..."),
        QKeySequence(Qt::CTRL | Qt::Key_G), [this] { showGoTo(); });
    search->addSeparator()->setObjectName(QStringLiteral("mnuSearchBar2"));
    add(search, QStringLiteral("mnuSearchNextDifference"), QStringLiteral("Next &difference"),
        QKeySequence(Qt::Key_F7), [this] { stepDifference(RangeStep::Direction::Forward); });
    add(search, QStringLiteral("mnuSearchPreviousDifference"),
        QStringLiteral("Previous diff&erence"), QKeySequence(Qt::SHIFT | Qt::Key_F7),
        [this] { stepDifference(RangeStep::Direction::Backward); });

    // "Compare with..." goes with the file commands, after Save As.
    auto* file = findChild<QMenu*>(QStringLiteral("mnuFile"));
    QAction* compareItem = add(file, QStringLiteral("mnuFileCompare"),
                               QStringLiteral("Co&mpare with..."), {}, [this] { compare(); });
    file->removeAction(compareItem);
    file->insertAction(action(QStringLiteral("mnuFileBar2")), compareItem);
}

void MainWindow::connectSearch() {
    m_finds = std::make_unique<FindCommands>(*m_document, *m_dumpState);
    m_compare = std::make_unique<CompareCommands>(m_prompts, *m_document, *m_dumpState);
    connect(m_compare.get(), &CompareCommands::changed, this, &MainWindow::showComparison);
    connect(m_dumpState, &DumpState::changed, this, [this](DumpState::Changes what) {
        // A note speaks of the selection it was made for.
        if (what & (DumpState::Change::Content | DumpState::Change::Selection)) {
            m_status->showNote({});
        }
        // The dump's new texts have no marks yet, and may show other bytes.
        if (what & DumpState::Change::Content) {
            m_dump->markRuns(m_compare->shownRuns());
            enableSearch();
        }
    });
    enableSearch();
}

void MainWindow::enableSearch() {
    const bool loaded = m_document->isLoaded();
    for (const char* name : {"mnuSearchFind", "mnuSearchFindNext", "mnuSearchFindPrevious",
                             "mnuSearchGoTo", "mnuFileCompare"}) {
        action(QLatin1String(name))->setEnabled(loaded);
    }
    for (const char* name : {"mnuSearchNextDifference", "mnuSearchPreviousDifference"}) {
        action(QLatin1String(name))->setEnabled(m_compare->isComparing());
    }
}

void MainWindow::shareSearchKeys(QWidget* window) const {
    for (const char* name :
         {"mnuSearchFind", "mnuSearchFindNext", "mnuSearchFindPrevious", "mnuSearchGoTo",
          "mnuSearchNextDifference", "mnuSearchPreviousDifference"}) {
        window->addAction(action(QLatin1String(name)));
    }
}

void MainWindow::showFind() {
    if (!m_findBox) {
        m_findBox = new FindBox(this);
        shareSearchKeys(m_findBox);
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
        shareSearchKeys(m_goToBox);
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
    finishEdits();
    if (m_compare->compareWithChosen()) {
        m_status->showNote(m_compare->comparison()->lengthNote());
    }
}

void MainWindow::stepDifference(RangeStep::Direction direction) {
    finishEdits();
    const QString note = m_compare->step(direction);
    m_status->showNote(note);
}

void MainWindow::showComparison() {
    m_dump->markRuns(m_compare->shownRuns());
    enableSearch();
    if (!m_compare->isComparing()) {
        if (m_compareWindow) {
            m_compareWindow->hide();
        }
        return;
    }
    if (!m_compareWindow) {
        m_compareWindow = new CompareWindow(this);
        shareSearchKeys(m_compareWindow);
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "AddinDocument.h"
#include "AppTitle.h"
#include "ByteReadoutController.h"
#include "CommandQueue.h"
#include "CommandTexts.h"
#include "CompareCommands.h"
#include "CompareController.h"
#include "DumpFiles.h"
#include "DumpPane.h"
#include "DumpState.h"
#include "DumpText.h"
#include "DumpView.h"
#include "EditController.h"
#include "FileCommands.h"
#include "HeaderArea.h"
#include "HeaderController.h"
#include "IconCodeController.h"
#include "ListingController.h"
#include "MainActions.h"
#include "MarksController.h"
#include "NewAddinController.h"
#include "Prompts.h"
#include "RunController.h"
#include "SearchController.h"
#include "StatusPanels.h"

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
      m_turn(new ChangeTurn(*m_document, *m_dumpState, this)), m_queue(new CommandQueue(this)),
      m_files(new FileCommands(prompts, *m_document, this)),
      m_comparison(new CompareCommands(prompts, *m_document, *m_dumpState, *m_turn, this)) {
    setObjectName(QStringLiteral("main"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    m_dump = new DumpView(*m_dumpState, client);
    m_header = new HeaderArea(client);
    m_status = new StatusPanels(this);
    setStatusBar(m_status);
    // Whichever monospace font the system has; the dump fits it to its own cells.
    m_dump->setDumpFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_actions = new MainActions({prompts, *m_document, *m_comparison, *m_turn, *m_queue}, *this);
    createControllers();
    layOut();
    setAcceptDrops(true);

    // Start-up: the caption, no file, the hex pane leading, stripping unavailable.
    showCaption();
}

MainWindow::~MainWindow() {
    // The controllers' windows read the document and the dump: they go first.
    m_run.reset();
    m_newAddin.reset();
    m_readout.reset();
    m_listing.reset();
    m_marks.reset();
    m_iconCode.reset();
    // Destroying the window hides it, which takes the focus from a header box; no child
    // signal may reach this window once its members are gone.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

void MainWindow::createControllers() {
    // The header follows each turn first, so that a message about an incomplete header is
    // asked before one about the dump's files.
    m_headerController = std::make_unique<HeaderController>(
        HeaderController::Parts{m_prompts, *m_document, *m_dumpState, *m_queue, *m_files, *m_turn},
        *m_header);
    m_queue->setEditsFinisher([this] { m_headerController->finishEdits(); });
    connect(m_turn, &ChangeTurn::ended, this, &MainWindow::follow);

    m_edits = std::make_unique<EditController>(m_prompts, *m_document, *m_dumpState, *m_queue,
                                               *m_dump, *m_status);
    const WindowParts parts{*m_queue, *m_actions, *m_dump, *m_status};
    m_search = std::make_unique<SearchController>(*m_document, *m_dumpState, parts, *this);
    m_compare = std::make_unique<CompareController>(*m_comparison, parts, *this);
    m_iconCode = std::make_unique<IconCodeController>(*m_document, *m_turn);
    m_marks = std::make_unique<MarksController>(m_prompts, *m_document, *m_dumpState, *m_turn,
                                                parts, *this);
    m_listing = std::make_unique<ListingController>(
        ListingController::Parts{m_prompts, *m_document, *m_dumpState, *m_turn, *m_queue,
                                 *m_actions, *m_marks},
        *this);
    m_readout =
        std::make_unique<ByteReadoutController>(*m_dumpState, *m_turn, *m_edits, *m_actions, *this);
    m_newAddin = std::make_unique<NewAddinController>(m_prompts, *m_document, *m_queue, *this);
    m_run = std::make_unique<RunController>(
        RunSession::Parts{m_prompts, *m_document, *m_dumpState, *m_turn, *m_queue}, *m_actions,
        *this);

    connect(m_headerController.get(), &HeaderController::iconCodeRequested, m_iconCode.get(),
            &IconCodeController::show);
    connect(m_files, &FileCommands::fileChosen, m_iconCode.get(), &IconCodeController::close);
    connect(m_newAddin.get(), &NewAddinController::created, this, [this](const QString& path) {
        m_iconCode->close();
        m_files->suggestName(path);
    });
    m_actions->build({*m_files, *m_headerController, *m_edits, *m_search, *m_compare, *m_listing,
                      *m_readout, *m_newAddin, *m_marks, *m_run});
    m_marks->offerInDump();
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

void MainWindow::follow(const ChangeTurn::Changes& changes) {
    if (changes.dump & DumpState::Change::Content) {
        renderDump();
        // A new image, a confirmed patch or the header stripped puts the keys in the hex pane;
        // an edit that moved where the code starts leaves them where they are.
        if (changes.replaced || changes.afresh || changes.bytes.isEmpty()) {
            m_dump->focusHexPane();
        }
    }
    if (changes.replaced || changes.path) {
        showCaption();
    }
    if (changes.dump & (DumpState::Change::Content | DumpState::Change::Selection)) {
        showStatus();
    }
}

void MainWindow::renderDump() {
    // The rendering goes through the two temporary files, as it always has; the panes paint
    // the bytes themselves, so the files only have to be written and read back whole.
    const QByteArrayView range = m_dumpState->shownBytes();
    QString reason;
    if (!m_dumpFiles.roundTrip(DumpText::hexText(range), DumpText::asciiText(range), &reason)) {
        // The panes show the new image all the same, in step with the header, the caption
        // and the size; the message waits for the command that caused it to end.
        m_queue->request([this, reason] {
            m_prompts.tell(
                CommandTexts::withReason(QStringLiteral("Error opening temporary files!!"), reason),
                appTitle());
        });
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

void MainWindow::openFile(const QString& path) {
    m_queue->requestAfterEdits([this, path] { m_files->openPath(path); });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_closeAgreed) {
        event->accept();
        return;
    }
    // The close box and Exit alike: the edit's question first, then the one about the
    // unsaved changes, each outside the close request's own handling.
    event->ignore();
    m_queue->requestAfterEdits([this] {
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

#include "MainWindow.h"

#include "AboutBox.h"
#include "AddressColumn.h"
#include "AppTitle.h"
#include "DumpFiles.h"
#include "DumpPane.h"
#include "DumpText.h"
#include "DumpView.h"
#include "HeaderArea.h"
#include "HeaderBox.h"
#include "HeaderPatch.h"
#include "IconBox.h"
#include "IconCode.h"
#include "IconCodeWindow.h"
#include "NumberForm.h"
#include "StatusPanels.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFontDatabase>
#include <QMenuBar>
#include <QMimeData>

namespace {

constexpr int kClientWidth = 636;
// 8.25 pt is 11 pixels at 96 dpi: the 15-pixel line pitch the dump area was laid out for.
constexpr qreal kDumpPointSize = 8.25;

QFont dumpFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(kDumpPointSize);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace

MainWindow::MainWindow(Prompts& prompts, DumpFiles& dumpFiles, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_dumpFiles(dumpFiles), m_commands(prompts) {
    setObjectName(QStringLiteral("main"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    m_dump = new DumpView(client);
    m_header = new HeaderArea(client);
    m_status = new StatusPanels(this);
    setStatusBar(m_status);
    m_dump->setDumpFont(dumpFont());
    createMenus();
    connectHeader();
    layOut();
    setAcceptDrops(true);

    connect(m_dump, &DumpView::synced, this, [this](int position, int length) {
        m_status->showValues(position, length, m_image.fileSize());
    });

    // Start-up: the caption, no file, the hex pane leading, stripping unavailable.
    setWindowTitle(appTitle() + QStringLiteral(" - By Keldor"));
    m_header->chkCode->setEnabled(false);
}

MainWindow::~MainWindow() {
    // Closing the window leaves the icon code open; the window's end takes it along.
    delete m_iconCode;
    // Destroying the window hides it, which takes the focus from a header box; that box's
    // focusLost (and any other child signal) must not reach this window once its members are
    // gone: it would run the patch question on a destroyed image.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
    }
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    auto add = [this](QMenu* menu, const QString& name, const QString& caption,
                      const QKeySequence& shortcut, void (MainWindow::*handler)()) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(name);
        item->setShortcut(shortcut);
        // The menu's keys work wherever the focus is, the dump panes included.
        item->setShortcutContext(Qt::WindowShortcut);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    add(file, QStringLiteral("mnuFileOpen"), QStringLiteral("&Open"),
        QKeySequence(Qt::CTRL | Qt::Key_O), &MainWindow::mnuFileOpen_Click);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar1"));
    add(file, QStringLiteral("mnuFileSave"), QStringLiteral("Save"),
        QKeySequence(Qt::CTRL | Qt::Key_S), &MainWindow::mnuFileSave_Click);
    add(file, QStringLiteral("mnuFileSaveAs"), QStringLiteral("Save &As..."),
        QKeySequence(Qt::CTRL | Qt::Key_A), &MainWindow::mnuFileSaveAs_Click);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar2"));
    add(file, QStringLiteral("mnuFileProperties"), QStringLiteral("Propert&ies"), {},
        &MainWindow::mnuFileProperties_Click);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar5"));
    add(file, QStringLiteral("mnuFileExit"), QStringLiteral("E&xit"), {},
        &MainWindow::mnuFileExit_Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    add(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About Mobrin!..."), {},
        &MainWindow::mnuHelpAbout_Click);
}

QAction* MainWindow::action(const QString& name) const {
    return findChild<QAction*>(name);
}

void MainWindow::layOut() {
    m_dump->move(2, 0);
    m_header->setGeometry(2, m_dump->geometry().bottom() + 1, DumpView::kDesignWidth, 86);
    const int clientHeight = m_header->geometry().bottom() + 3;
    centralWidget()->setFixedSize(kClientWidth, clientHeight);

    // Keyboard order: the two panes first, then the header area.
    setTabOrder(m_dump->scrASC, m_dump->scrHEX);
    setTabOrder(m_dump->scrHEX, m_header->Atype);

    const int menuHeight = menuBar()->sizeHint().height();
    const int statusHeight = m_status->sizeHint().height();
    setFixedSize(kClientWidth, menuHeight + clientHeight + statusHeight);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
}

void MainWindow::connectHeader() {
    HeaderArea* h = m_header;
    connect(h->Aname, &HeaderBox::focusGained, this, [this] { fieldGotFocus(m_header->Aname); });
    connect(h->Adesc, &HeaderBox::focusGained, this, [this] { fieldGotFocus(m_header->Adesc); });
    connect(h->Aname, &HeaderBox::doubleClicked, this,
            [this] { fieldDoubleClicked(m_header->Aname); });
    connect(h->Adesc, &HeaderBox::doubleClicked, this,
            [this] { fieldDoubleClicked(m_header->Adesc); });
    connect(h->Aname, &HeaderBox::focusLost, this,
            [this] { fieldLostFocus(m_header->Aname, m_nameStart); });
    connect(h->Adesc, &HeaderBox::focusLost, this,
            [this] { fieldLostFocus(m_header->Adesc, m_descStart); });
    for (HeaderBox* box : {h->Aorg, h->Aw1, h->Aw2}) {
        connect(box, &HeaderBox::clicked, this, [this, box] { numberClicked(box); });
    }
    connect(h->chkCode, &QCheckBox::clicked, this, &MainWindow::chkCode_Click);
    connect(h->Picture1, &IconBox::doubleClicked, this, &MainWindow::Picture1_DblClick);
}

void MainWindow::tell(const QString& text) {
    m_prompts.tell(text, appTitle());
}

// --- File menu -------------------------------------------------------------------------

void MainWindow::mnuFileOpen_Click() {
    if (m_rendering) {
        return;
    }
    loaded(m_commands.open(m_patched, [this] { unloadIconCode(); }));
}

void MainWindow::openFile(const QString& path) {
    if (m_rendering) {
        return;
    }
    loaded(m_commands.openPath(path, m_patched, [this] { unloadIconCode(); }));
}

void MainWindow::loaded(std::optional<AddinImage> image) {
    if (!image) {
        return;
    }
    // Image, path and size are replaced together, only once the file has been read in full.
    m_image = std::move(*image);
    m_header->chkCode->setEnabled(true);
    FillScr();
    FillAds(0, 224, 16);
}

void MainWindow::mnuFileSave_Click() {
    m_commands.save(m_image, m_patched);
}

void MainWindow::mnuFileSaveAs_Click() {
    if (m_commands.saveAs(m_image, m_patched)) {
        // The caption names the file the next Save writes.
        setWindowTitle(appTitle() + QStringLiteral(" : ") + m_image.path());
    }
}

void MainWindow::mnuFileExit_Click() {
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_patched) {
        const Prompts::Answer answer = m_prompts.ask(
            {QStringLiteral("Discard the changes?"), QStringLiteral("Add-in changed!"),
             Prompts::Icon::Question, Prompts::Buttons::YesNo, Prompts::Answer::No});
        if (answer != Prompts::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
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
    const QString path = urls.constFirst().toLocalFile();
    // The drop ends before the file is opened, so that its questions are not asked while
    // the drag source waits.
    QMetaObject::invokeMethod(
        this, [this, path] { openFile(path); }, Qt::QueuedConnection);
}

// --- Accessory windows ------------------------------------------------------------------

void MainWindow::mnuHelpAbout_Click() {
    AboutBox about;
    about.exec();
}

void MainWindow::Picture1_DblClick() {
    if (m_addinType != QLatin1String("ADDIN") || !m_image.isLoaded()) {
        return;
    }
    if (!m_iconCode) {
        m_iconCode = new IconCodeWindow();
    }
    m_iconCode->show();
    m_iconCode->raise();
    m_iconCode->activateWindow();
    // Read back from the icon box's own pixels: the code shows what the box shows.
    m_iconCode->setCode(IconCode::fromPixels(m_header->Picture1->pixels()));
}

IconCodeWindow* MainWindow::iconCodeWindow() const {
    return m_iconCode;
}

void MainWindow::unloadIconCode() {
    if (m_iconCode) {
        m_iconCode->close();
    }
}

// --- Header ------------------------------------------------------------------------------

void MainWindow::mnuFileProperties_Click() {
    if (!m_image.isLoaded()) {
        return;
    }
    HeaderArea* h = m_header;
    h->Atype->clear();
    for (HeaderBox* field : {h->Aname, h->Adesc}) {
        field->setFieldLength(0);
        field->clear();
    }
    h->Aw1->setText(QStringLiteral("0"));
    h->Aw2->setText(QStringLiteral("0"));
    m_headSize = 0;
    h->Ahead->setText(QStringLiteral("0"));
    h->Aorg->setText(QStringLiteral("0"));
    h->Acode->setText(QStringLiteral("0"));
    h->Picture1->clear();
    showHeader(AddinHeader::parse(m_image.bytes()));
}

void MainWindow::showHeader(const AddinHeader& header) {
    HeaderArea* h = m_header;
    if (header.classLine) {
        h->Atype->setText(header.classLine->text());
    }
    if (header.addinType) {
        m_addinType = *header.addinType;
    }
    auto showField = [](HeaderBox* box, const HeaderField& field) {
        box->setText(field.text());
        // A field without its terminator has no known length: it can never be patched.
        box->setFieldLength(field.terminated ? field.length() : 0);
    };
    if (header.name) {
        m_nameStart = header.name->start;
        showField(h->Aname, *header.name);
    }
    if (header.description) {
        m_descStart = header.description->start;
        showField(h->Adesc, *header.description);
    }
    if (header.word1) {
        h->Aw1->setText(NumberForm::wordByTag(*header.word1, h->Aw1->tag()));
    }
    if (header.word2) {
        h->Aw2->setText(NumberForm::wordByTag(*header.word2, h->Aw2->tag()));
    }
    h->Picture1->paintIcon(header.icon);
    if (header.complete()) {
        m_headSize = header.headSize;
        h->Ahead->setText(NumberForm::decimal(m_headSize));
        if (header.isAddin()) {
            h->Aorg->setText(NumberForm::plainByTag(header.org, h->Aorg->tag()));
            h->Acode->setText(NumberForm::decimal(header.codeSize));
        }
        return;
    }
    tell(header.problemText());
}

void MainWindow::numberClicked(HeaderBox* box) {
    if (m_header->Atype->text().isEmpty()) {
        return;
    }
    box->setText(NumberForm::toggledText(box->text(), box->tag()));
    box->setTag(NumberForm::toggledTag(box->tag()));
}

// --- Patching ----------------------------------------------------------------------------

void MainWindow::fieldGotFocus(HeaderBox* box) {
    m_oldText = box->text();
}

void MainWindow::fieldDoubleClicked(HeaderBox* box) {
    if (m_header->Atype->text().isEmpty()) {
        return;
    }
    box->setLocked(!box->isLocked());
    m_oldText = box->text();
}

void MainWindow::fieldLostFocus(HeaderBox* box, int fieldStart) {
    if (m_header->Atype->text().isEmpty()) {
        return;
    }
    box->setLocked(true);
    if (box->text() == m_oldText) {
        return;
    }
    const Prompts::Answer answer =
        m_prompts.ask({QStringLiteral("Patch the addin?"), appTitle(), Prompts::Icon::None,
                       Prompts::Buttons::OkCancel, Prompts::Answer::Cancel});
    if (answer != Prompts::Answer::Ok) {
        box->setText(m_oldText);
        return;
    }
    const HeaderPatch patch =
        HeaderPatch::apply(m_image.bytes(), fieldStart, box->fieldLength(), box->text());
    if (patch.outcome != HeaderPatch::Outcome::Written) {
        if (patch.outcome == HeaderPatch::Outcome::Unencodable) {
            tell(QStringLiteral("The character \"%1\" cannot be stored in an add-in header. "
                                "Nothing was patched.")
                     .arg(patch.character));
        } else if (patch.outcome == HeaderPatch::Outcome::EndsField) {
            tell(QStringLiteral("The character U+%1 would end the field early, so it cannot be "
                                "stored there. Nothing was patched.")
                     .arg(QString::number(patch.character.at(0).unicode(), 16)
                              .toUpper()
                              .rightJustified(4, QLatin1Char('0'))));
        }
        box->setText(m_oldText);
        return;
    }
    m_patched = true;
    FillScr();
}

// --- Dump --------------------------------------------------------------------------------

void MainWindow::chkCode_Click() {
    if (m_image.isLoaded()) {
        FillScr();
    }
}

void MainWindow::FillScr() {
    // A rendering never runs inside another; one asked for meanwhile runs right after.
    if (m_rendering) {
        m_renderAgain = true;
        return;
    }
    m_rendering = true;
    do {
        m_renderAgain = false;
        renderOnce();
    } while (m_renderAgain);
    m_rendering = false;
}

void MainWindow::renderOnce() {
    mnuFileProperties_Click();
    const QByteArrayView range =
        DumpText::renderedRange(m_image.bytes(), m_header->chkCode->isChecked(), m_headSize);
    const auto texts = m_dumpFiles.roundTrip(DumpText::hexText(range), DumpText::asciiText(range));
    if (!texts) {
        // The image and any unsaved patch stay; only this rendering is given up.
        tell(QStringLiteral("Error opening temporary files!!"));
        return;
    }
    m_dump->showTexts(texts->hex, texts->ascii);
    m_dump->focusHexPane();
    setWindowTitle(appTitle() + QStringLiteral(" : ") + m_image.path());
}

void MainWindow::FillAds(int Astart, int Aend, int Astep) {
    m_dump->setAddressText(DumpText::addressLines(Astart, Aend, Astep));
}

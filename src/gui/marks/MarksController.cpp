// SPDX-License-Identifier: GPL-3.0-or-later
#include "MarksController.h"

#include "AddinDocument.h"
#include "AppTitle.h"
#include "BookmarksWindow.h"
#include "CommandQueue.h"
#include "DumpState.h"
#include "DumpView.h"
#include "MainActions.h"
#include "MarkCommands.h"
#include "Prompts.h"

#include <QAction>

#include <algorithm>
#include <array>

namespace {

// One mark command: its menu item, the listing's key and the dump's key (which holds Ctrl,
// as letters type bytes there).
struct MarkItem {
    const char* name;
    const char* caption;
    QKeySequence listingKey;
    QKeySequence dumpKey;
    bool codeOnly; // only the code can be marked so; a bookmark goes on any byte
    void (*command)(MarksController&);
};

const std::array<MarkItem, 10>& markItems() {
    static const std::array<MarkItem, 10> items = {{
        {"mnuMarksCode", "Mark as &code", QKeySequence(Qt::Key_C),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), true,
         [](MarksController& c) { c.setKind(CodeKind::Code); }},
        {"mnuMarksBytes", "Mark as &bytes", QKeySequence(Qt::Key_D),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D), true,
         [](MarksController& c) { c.setKind(CodeKind::Bytes); }},
        {"mnuMarksWords", "Mark as &words", QKeySequence(Qt::Key_W),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W), true,
         [](MarksController& c) { c.setKind(CodeKind::Words); }},
        {"mnuMarksPointers", "Mark as &pointers", QKeySequence(Qt::Key_P),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), true,
         [](MarksController& c) { c.setKind(CodeKind::Pointers); }},
        {"mnuMarksText", "Mark as &text", QKeySequence(Qt::Key_T),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), true,
         [](MarksController& c) { c.setKind(CodeKind::Text); }},
        {"mnuMarksAnalysis", "Back to the &analysis", QKeySequence(Qt::Key_U),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U), true,
         [](MarksController& c) { c.backToAnalysis(); }},
        {"mnuMarksLabel", "&Name label...", QKeySequence(Qt::Key_N),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), true,
         [](MarksController& c) { c.nameLabel(); }},
        {"mnuMarksComment", "C&omment...", QKeySequence(Qt::Key_Semicolon),
         QKeySequence(Qt::CTRL | Qt::Key_Semicolon), true, [](MarksController& c) { c.comment(); }},
        {"mnuMarksBookmark", "Book&mark...", QKeySequence(Qt::CTRL | Qt::Key_B),
         QKeySequence(Qt::CTRL | Qt::Key_B), false, [](MarksController& c) { c.bookmark(); }},
        {"mnuMarksBookmarks", "Boo&kmarks", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), false,
         [](MarksController& c) { c.showBookmarks(); }},
    }};
    return items;
}

} // namespace

MarksController::MarksController(Prompts& prompts, AddinDocument& document, DumpState& dump,
                                 const ChangeTurn& turn, const WindowParts& parts, QWidget& owner)
    : m_prompts(prompts), m_document(document), m_dump(dump), m_turn(turn), m_parts(parts),
      m_owner(owner), m_commands(std::make_unique<MarkCommands>(prompts, document)) {}

MarksController::~MarksController() {
    // It reads the document, which goes with the main window.
    delete m_bookmarks;
}

QList<ActionTable::Row> MarksController::rows(const QString& menu) {
    QList<ActionTable::Row> rows;
    const AddinDocument& document = m_document;
    const auto complete = [&document] { return document.isCompleteAddin(); };
    const auto loaded = [&document] { return document.isLoaded(); };
    // The kinds, then what is written at a place, then the bookmarks.
    constexpr std::array<qsizetype, 2> kBarsBefore = {6, 8};
    for (qsizetype index = 0; index < qsizetype(markItems().size()); ++index) {
        const MarkItem& item = markItems().at(size_t(index));
        if (std::find(kBarsBefore.begin(), kBarsBefore.end(), index) != kBarsBefore.end()) {
            rows.append({menu, QStringLiteral("mnuMarksBar%1").arg(index), {}, {}, {}, {}});
        }
        rows.append(
            {menu,
             QLatin1String(item.name),
             QString::fromLatin1(item.caption),
             {item.dumpKey},
             item.codeOnly ? std::function<bool()>(complete) : std::function<bool()>(loaded),
             m_parts.queue.afterEdits([this, &item] { item.command(*this); })});
    }
    return rows;
}

QList<QAction*> MarksController::listingActions(QWidget& window) {
    QList<QAction*> actions;
    for (const MarkItem& item : markItems()) {
        // A key that holds Ctrl is the menu's own: the listing shares its item.
        if (item.listingKey == item.dumpKey) {
            if (QAction* shared = m_parts.actions.action(QLatin1String(item.name))) {
                window.addAction(shared);
                actions.append(shared);
            }
            continue;
        }
        auto* action = new QAction(QString::fromLatin1(item.caption), &window);
        action->setObjectName(QString::fromLatin1(item.name).replace(
            QLatin1String("mnuMarks"), QLatin1String("mnuListingMark")));
        action->setShortcut(item.listingKey);
        action->setShortcutContext(Qt::WindowShortcut);
        window.addAction(action);
        connect(action, &QAction::triggered, this,
                [this, &item] { m_parts.queue.request([this, &item] { item.command(*this); }); });
        actions.append(action);
    }
    return actions;
}

void MarksController::offerInDump() {
    m_parts.view.setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const MarkItem& item : markItems()) {
        if (QAction* action = m_parts.actions.action(QLatin1String(item.name))) {
            m_parts.view.addAction(action);
        }
    }
}

ByteRange MarksController::target() const {
    const ByteRange selected = m_dump.selection();
    return selected.isEmpty() ? ByteRange{m_dump.caret(), 1} : selected;
}

void MarksController::report(const QString& problem) {
    if (!problem.isEmpty()) {
        m_prompts.tell(problem, appTitle());
    }
}

void MarksController::setKind(CodeKind kind) {
    report(m_commands->setKind(target(), kind));
}

void MarksController::backToAnalysis() {
    report(m_commands->backToAnalysis(target()));
}

void MarksController::nameLabel() {
    report(m_commands->askLabel(target().start));
}

void MarksController::comment() {
    report(m_commands->askComment(target().start));
}

void MarksController::bookmark() {
    report(m_commands->askBookmark(target()));
}

void MarksController::showBookmarks() {
    if (!m_document.isLoaded()) {
        return;
    }
    if (!m_bookmarks) {
        m_bookmarks = new BookmarksWindow(m_document, m_turn, &m_owner);
        m_parts.actions.shareKeys(*m_bookmarks);
        connect(m_bookmarks, &BookmarksWindow::goToRequested, this,
                [this](ByteRange range) { m_dump.select(range.start, range.length); });
        connect(m_bookmarks, &BookmarksWindow::removeRequested, this,
                [this](ByteRange range) { report(m_commands->removeBookmark(range)); });
    }
    m_bookmarks->show();
    m_bookmarks->raise();
    m_bookmarks->activateWindow();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeListingWindow.h"

#include "AddinDocument.h"
#include "AppIcon.h"
#include "OwnerPlacement.h"

#include <QAction>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room for the address, the bytes and most instructions, and a screenful of lines.
constexpr int kColumnsInView = CodeListing::kTextColumn + 22;
constexpr int kLinesInView = 32;
// The marked lines take the selection's colour, faintly, so that a selection in the listing
// still stands out over them.
constexpr int kMarkAlpha = 70;

} // namespace

CodeListingWindow::CodeListingWindow(const AddinDocument& document, DumpState& dump,
                                     const ChangeTurn& turn, QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(document), m_dump(dump),
      m_text(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("frmCodeList"));
    setWindowTitle(QStringLiteral("Code listing"));
    setWindowIcon(appIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    // It follows the main window's dump: it has no reason to keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_text->setObjectName(QStringLiteral("txtListing"));
    m_text->setAccessibleName(QStringLiteral("Instructions"));
    m_text->setReadOnly(true);
    // Read-only, yet the caret moves with the keys so the user can select and copy.
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setUndoRedoEnabled(false);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);

    const QFontMetrics metrics(m_text->font());
    const int frame = 2 * m_text->frameWidth();
    resize(metrics.horizontalAdvance(QLatin1Char('0')) * kColumnsInView + frame +
               m_text->verticalScrollBar()->sizeHint().width() +
               2 * int(m_text->document()->documentMargin()),
           metrics.lineSpacing() * kLinesInView + frame);
    if (parent) {
        OwnerPlacement::placeBeside(*this, *parent);
    }

    addActions();
    connect(&turn, &ChangeTurn::ended, this, &CodeListingWindow::follow);
    // Select All moves no caret the view reports: lines selected in any way select their bytes.
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this, &CodeListingWindow::selectInDump);
    connect(m_text, &QPlainTextEdit::selectionChanged, this, &CodeListingWindow::selectInDump);
}

void CodeListingWindow::addActions() {
    const auto add = [this](const char* name, const QString& caption, const QKeySequence& keys) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        return action;
    };
    m_back = add("mnuListingBack", QStringLiteral("&Back"), QKeySequence(Qt::ALT | Qt::Key_Left));
    connect(m_back, &QAction::triggered, this, &CodeListingWindow::goBack);
    m_forward =
        add("mnuListingForward", QStringLiteral("&Forward"), QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(m_forward, &QAction::triggered, this, &CodeListingWindow::goForward);
    showHistory();
    m_saveSource = add("mnuListingSaveSource", QStringLiteral("Save as source..."), {});
    connect(m_saveSource, &QAction::triggered, this, &CodeListingWindow::saveSourceRequested);
    m_text->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_text, &QWidget::customContextMenuRequested, this,
            &CodeListingWindow::showContextMenu);
    m_text->installEventFilter(this);
    m_text->viewport()->installEventFilter(this);
}

void CodeListingWindow::showContextMenu(QPoint where) {
    QMenu* menu = m_text->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    for (const char* name : {"mnuListingBack", "mnuListingForward", "mnuListingSaveSource"}) {
        menu->addAction(findChild<QAction*>(QLatin1String(name)));
    }
    menu->popup(m_text->viewport()->mapToGlobal(where));
}

bool CodeListingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            return followJumpOn(m_text->textCursor().blockNumber());
        }
    }
    if (watched == m_text->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        // A double-click on any other line selects a word, as in any text.
        return followJumpOn(m_text->cursorForPosition(click->position().toPoint()).blockNumber());
    }
    return QWidget::eventFilter(watched, event);
}

bool CodeListingWindow::followJumpOn(int line) {
    if (m_listing.isEmpty() || line < 0 || line >= m_lines.lineCount()) {
        return false;
    }
    const std::optional<ByteRange> target = m_listing.targetOf(m_lines.instructionAt(line));
    if (!target) {
        return false;
    }
    m_history.leave(m_dump.selection());
    showHistory();
    goTo(*target);
    return true;
}

void CodeListingWindow::goBack() {
    if (const std::optional<ByteRange> place = m_history.back(m_dump.selection())) {
        showHistory();
        goTo(*place);
    }
}

void CodeListingWindow::goForward() {
    if (const std::optional<ByteRange> place = m_history.forward(m_dump.selection())) {
        showHistory();
        goTo(*place);
    }
}

void CodeListingWindow::showHistory() {
    m_back->setEnabled(m_history.canGoBack());
    m_forward->setEnabled(m_history.canGoForward());
}

void CodeListingWindow::goTo(ByteRange range) {
    m_dump.select(range.start, range.length);
    const int index = m_listing.indexAt(range.start);
    if (index < 0) {
        return;
    }
    // The caret goes along, so that Enter follows the next jump from here; the dump has its
    // selection already.
    m_filling = true;
    m_text->setTextCursor(
        QTextCursor(m_text->document()->findBlockByNumber(m_lines.lineOf(index))));
    m_filling = false;
    bringIntoView(index);
}

void CodeListingWindow::follow(const ChangeTurn::Changes& changes) {
    if (changes.content() || changes.dump & DumpState::Change::Content) {
        refresh();
    } else if (changes.dump & DumpState::Change::Selection) {
        followDump();
    }
}

void CodeListingWindow::refresh() {
    if (!m_document.isCompleteAddin()) {
        close();
        return;
    }
    const AddinHeader& header = m_document.header();
    // Every byte after the header, not only the approximate code: the dump's caret can stand
    // anywhere, and the code size is only a guess from the trailing FF bytes.
    CodeListing listing = CodeListing::ofAddin(m_document.image().bytes(), header, true);
    // A patch of the name or description leaves the code as it was, and the scroll position
    // with it; the selection goes, as it goes in the dump.
    m_filling = true;
    if (listing.text() != m_listing.text()) {
        m_lines = LabelledListing(listing);
        m_text->setPlainText(m_lines.text().chopped(m_lines.text().isEmpty() ? 0 : 1));
        // Another file's code: the way taken through the old one leads nowhere here.
        m_history.clear();
        showHistory();
    } else {
        QTextCursor caret = m_text->textCursor();
        caret.clearSelection();
        m_text->setTextCursor(caret);
    }
    m_filling = false;
    m_listing = std::move(listing);
    const QString name = header.name ? header.name->text().trimmed() : QString();
    setWindowTitle(name.isEmpty() ? QStringLiteral("Code listing")
                                  : QStringLiteral("Code listing - ") + name);

    // The dump counts from another byte now, or shows another file: follow it afresh.
    m_followed = {-1, -1};
    followDump();
}

void CodeListingWindow::followDump() {
    const DumpState::Selection selection = m_dump.selection();
    // The caret alone stands for the byte after it.
    const std::pair<int, int> range{selection.start,
                                    selection.start + std::max(selection.length, 1)};
    if (range == m_followed) {
        return;
    }
    m_followed = range;
    const int from = std::max(range.first, m_listing.firstOffset());
    const int to = std::min(range.second, m_listing.endOffset());
    if (from >= to) {
        mark(-1, -1);
        return;
    }
    const int first = m_listing.indexAt(from);
    mark(first, m_listing.indexAt(to - 1));
    bringIntoView(first);
}

void CodeListingWindow::selectInDump() {
    if (m_filling || m_listing.isEmpty()) {
        return;
    }
    const QTextCursor cursor = m_text->textCursor();
    const QTextDocument* text = m_text->document();
    const int lastLine = m_lines.lineCount() - 1;
    const int firstLine =
        std::min(text->findBlock(cursor.selectionStart()).blockNumber(), lastLine);
    const QTextBlock endBlock = text->findBlock(cursor.selectionEnd());
    int endLine = std::min(endBlock.blockNumber(), lastLine);
    // A selection that ends at the start of a line leaves that line out.
    if (endLine > firstLine && endBlock.position() == cursor.selectionEnd()) {
        --endLine;
    }
    // A label line stands for the instruction after it.
    const int first = m_lines.instructionAt(firstLine);
    const int last = std::max(first, m_lines.instructionAt(endLine));
    const int start = m_listing.instructions().at(first).offset;
    const int end = m_listing.instructions().at(last).end();
    if (m_dump.selection() == DumpState::Selection{start, end - start}) {
        return;
    }
    // The state reports this range back; it is marked already and in view.
    m_followed = {start, end};
    mark(first, last);
    m_dump.select(start, end - start);
}

void CodeListingWindow::mark(int first, int last) {
    m_marked = {first, last};
    QList<QTextEdit::ExtraSelection> marks;
    if (first >= 0) {
        QTextEdit::ExtraSelection marked;
        QColor colour = palette().color(QPalette::Highlight);
        colour.setAlpha(kMarkAlpha);
        marked.format.setBackground(colour);
        marked.format.setProperty(QTextFormat::FullWidthSelection, true);
        const QTextDocument* text = m_text->document();
        marked.cursor = QTextCursor(text->findBlockByNumber(m_lines.lineOf(first)));
        if (last > first) {
            // Up to the next line's start, so that the last line is marked across too.
            const QTextBlock end = text->findBlockByNumber(m_lines.lineOf(last));
            marked.cursor.setPosition(
                std::min(end.position() + end.length(), text->characterCount() - 1),
                QTextCursor::KeepAnchor);
        }
        marks.append(marked);
    }
    m_text->setExtraSelections(marks);
}

void CodeListingWindow::bringIntoView(int index) {
    const int line = m_lines.lineOf(index);
    // Without wrapping, the scroll bar counts lines.
    QScrollBar* bar = m_text->verticalScrollBar();
    const int inView =
        std::max(1, m_text->viewport()->height() / m_text->fontMetrics().lineSpacing());
    if (line < bar->value() || line >= bar->value() + inView) {
        bar->setValue(line - inView / 2);
    }
}

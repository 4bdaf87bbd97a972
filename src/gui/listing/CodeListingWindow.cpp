// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeListingWindow.h"

#include "AppIcon.h"
#include "OwnerPlacement.h"
#include "PaneLinePainter.h"

#include <QAction>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room for the address, the bytes and most instructions, and a screenful of lines.
constexpr int kColumnsInView =
    CodeListing::kTextColumn + LabelledListing::kCharactersWidth + 2 + 22;
constexpr int kLinesInView = 32;
// The marked lines take the selection's colour, faintly, so that a selection in the listing
// still stands out over them.
constexpr int kMarkAlpha = 70;

} // namespace

CodeListingWindow::CodeListingWindow(ListingModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window), m_model(model), m_text(new QPlainTextEdit(this)),
      m_unlisted(new QLabel(this)), m_referencesCaption(new QLabel(this)),
      m_referenceList(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmCodeList"));
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
    m_unlisted->setObjectName(QStringLiteral("lblUnlisted"));
    m_unlisted->setWordWrap(true);
    m_unlisted->setMargin(6);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_unlisted);
    layout->addWidget(m_text, 1);
    m_referencesCaption->setObjectName(QStringLiteral("lblReferences"));
    m_referencesCaption->setMargin(3);
    m_referencesCaption->setWordWrap(true);
    m_referencesCaption->hide();
    layout->addWidget(m_referencesCaption);
    m_referenceList->setObjectName(QStringLiteral("lstReferences"));
    m_referenceList->setAccessibleName(QStringLiteral("References"));
    m_referenceList->setFont(m_text->font());
    m_referenceList->hide();
    layout->addWidget(m_referenceList);
    connect(m_referenceList, &QListWidget::itemActivated, this, &CodeListingWindow::goToReference);
    m_referenceList->installEventFilter(this);

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
    connect(&m_model, &ListingModel::relisted, this, &CodeListingWindow::showAll);
    connect(&m_model, &ListingModel::linesReplaced, this, &CodeListingWindow::replaceLines);
    connect(&m_model, &ListingModel::markChanged, this, &CodeListingWindow::showMark);
    connect(&m_model, &ListingModel::programCounterMoved, this,
            &CodeListingWindow::showProgramCounter);
    connect(&m_model, &ListingModel::historyChanged, this, &CodeListingWindow::showHistory);
    connect(&m_model, &ListingModel::anotherUnlisted, this, &QWidget::close);
    // Select All moves no caret the view reports: lines selected in any way select their bytes.
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this, &CodeListingWindow::selectInDump);
    connect(m_text, &QPlainTextEdit::selectionChanged, this, &CodeListingWindow::selectInDump);
    showAll();
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
    connect(m_back, &QAction::triggered, this, [this] { putCaret(m_model.goBack()); });
    m_forward =
        add("mnuListingForward", QStringLiteral("&Forward"), QKeySequence(Qt::ALT | Qt::Key_Right));
    connect(m_forward, &QAction::triggered, this, [this] { putCaret(m_model.goForward()); });
    showHistory();
    m_references =
        add("mnuListingReferences", QStringLiteral("Cross-&references"), QKeySequence(Qt::Key_X));
    connect(m_references, &QAction::triggered, this, &CodeListingWindow::showReferences);
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
    for (QAction* action : {m_references, m_back, m_forward, m_saveSource}) {
        menu->addAction(action);
    }
    if (!m_markActions.isEmpty()) {
        menu->addMenu(QStringLiteral("Mar&k"))->addActions(m_markActions);
    }
    menu->popup(m_text->viewport()->mapToGlobal(where));
}

void CodeListingWindow::showReferences() {
    // The marked instruction, which holds the dump's caret, or else the listing's own caret.
    const int marked = m_model.marked().first;
    const int line =
        marked >= 0 ? m_model.lines().lineOf(marked) : m_text->textCursor().blockNumber();
    const QList<int> lines = m_model.referencesTo(line);
    m_referenceList->clear();
    const QTextDocument* text = m_text->document();
    for (const int from : lines) {
        auto* item = new QListWidgetItem(text->findBlockByNumber(from).text(), m_referenceList);
        item->setData(Qt::UserRole, from);
    }
    const QString address = text->findBlockByNumber(line).text().left(4);
    m_referencesCaption->setText(
        lines.isEmpty() ? QStringLiteral("No line refers to %1.").arg(address)
                        : QStringLiteral("Lines that refer to %1: Enter goes there, Alt+Left "
                                         "back, Esc closes the list.")
                              .arg(address));
    m_referencesCaption->show();
    // As high as its lines, up to eight of them.
    constexpr int kMostLinesShown = 8;
    const int rows = std::clamp(int(lines.size()), 1, kMostLinesShown);
    m_referenceList->setFixedHeight(rows * QFontMetrics(m_referenceList->font()).lineSpacing() +
                                    2 * m_referenceList->frameWidth() + 4);
    m_referenceList->setVisible(!lines.isEmpty());
    m_referenceList->setCurrentRow(0);
    m_referenceList->setFocus(Qt::OtherFocusReason);
}

void CodeListingWindow::goToReference() {
    QListWidgetItem* item = m_referenceList->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled)) {
        return;
    }
    putCaret(m_model.goToLine(item->data(Qt::UserRole).toInt()));
    m_text->setFocus(Qt::OtherFocusReason);
}

bool CodeListingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_referenceList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_referenceList->hide();
        m_referencesCaption->hide();
        m_text->setFocus(Qt::OtherFocusReason);
        return true;
    }
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers() == Qt::NoModifier) {
            const std::optional<int> line =
                m_model.followJumpOn(m_text->textCursor().blockNumber());
            putCaret(line);
            return line.has_value();
        }
        // The text box takes letters for itself even when it cannot be typed in: the window's
        // one-key commands get them first.
        const QKeySequence pressed(key->keyCombination());
        for (QAction* action : actions()) {
            if (action->isEnabled() && action->shortcut() == pressed) {
                action->trigger();
                return true;
            }
        }
    }
    if (watched == m_text->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* click = static_cast<QMouseEvent*>(event);
        // A double-click on any other line selects a word, as in any text.
        const std::optional<int> line = m_model.followJumpOn(
            m_text->cursorForPosition(click->position().toPoint()).blockNumber());
        putCaret(line);
        return line.has_value();
    }
    return QWidget::eventFilter(watched, event);
}

void CodeListingWindow::showHistory() {
    m_back->setEnabled(m_model.canGoBack());
    m_forward->setEnabled(m_model.canGoForward());
}

void CodeListingWindow::putCaret(std::optional<int> line) {
    if (!line) {
        return;
    }
    // The caret goes along, so that Enter follows the next jump from here; the dump has its
    // selection already.
    m_filling = true;
    m_text->setTextCursor(QTextCursor(m_text->document()->findBlockByNumber(*line)));
    m_filling = false;
    bringIntoView(*line);
}

void CodeListingWindow::showAll() {
    setWindowTitle(m_model.title());
    m_unlisted->setText(m_model.unlistedReason());
    m_unlisted->setVisible(!m_model.isListed());
    m_filling = true;
    m_text->setPlainText(m_model.shownText().toString());
    m_filling = false;
    showMark(true);
}

void CodeListingWindow::replaceLines(const QList<LineDifference>& edits) {
    setWindowTitle(m_model.title());
    // Only the lines that differ are replaced: the view keeps its scroll position. The
    // selection goes, as it goes in the dump.
    m_filling = true;
    QTextCursor cursor(m_text->document());
    for (const LineDifference& edit : edits) {
        cursor.setPosition(edit.from);
        cursor.setPosition(edit.to, QTextCursor::KeepAnchor);
        cursor.insertText(edit.text);
    }
    QTextCursor caret = m_text->textCursor();
    if (caret.hasSelection()) {
        caret.clearSelection();
        m_text->setTextCursor(caret);
    }
    m_filling = false;
    showMark(false);
}

void CodeListingWindow::selectInDump() {
    if (m_filling) {
        return;
    }
    const QTextCursor cursor = m_text->textCursor();
    const QTextDocument* text = m_text->document();
    const int firstLine = text->findBlock(cursor.selectionStart()).blockNumber();
    const QTextBlock endBlock = text->findBlock(cursor.selectionEnd());
    int endLine = endBlock.blockNumber();
    // A selection that ends at the start of a line leaves that line out.
    if (endLine > firstLine && endBlock.position() == cursor.selectionEnd()) {
        --endLine;
    }
    m_model.selectLines(firstLine, endLine);
}

void CodeListingWindow::showMark(bool bringMarkIntoView) {
    const auto [first, last] = m_model.marked();
    QList<QTextEdit::ExtraSelection> marks;
    // A paused run's next instruction, in the dump's colour for it, under the dump's mark.
    if (const int next = m_model.programCounter(); next >= 0) {
        QTextEdit::ExtraSelection marked;
        marked.format.setBackground(PaneLinePainter::highlightColour(
            ByteHighlights::Kind::ProgramCounter, palette().color(QPalette::Base)));
        marked.format.setProperty(QTextFormat::FullWidthSelection, true);
        marked.cursor =
            QTextCursor(m_text->document()->findBlockByNumber(m_model.lines().lineOf(next)));
        marks.append(marked);
    }
    if (first >= 0) {
        const LabelledListing& lines = m_model.lines();
        QTextEdit::ExtraSelection marked;
        QColor colour = palette().color(QPalette::Highlight);
        colour.setAlpha(kMarkAlpha);
        marked.format.setBackground(colour);
        marked.format.setProperty(QTextFormat::FullWidthSelection, true);
        const QTextDocument* text = m_text->document();
        marked.cursor = QTextCursor(text->findBlockByNumber(lines.lineOf(first)));
        if (last > first) {
            // Up to the next line's start, so that the last line is marked across too.
            const QTextBlock end = text->findBlockByNumber(lines.lineOf(last));
            marked.cursor.setPosition(
                std::min(end.position() + end.length(), text->characterCount() - 1),
                QTextCursor::KeepAnchor);
        }
        marks.append(marked);
        if (bringMarkIntoView) {
            bringIntoView(lines.lineOf(first));
        }
    }
    // Marks set again repaint the whole view: a typed byte that leaves them where they were
    // repaints only its line.
    const QList<QTextEdit::ExtraSelection> shown = m_text->extraSelections();
    const auto sameCursor = [](const QTextCursor& a, const QTextCursor& b) {
        return a.anchor() == b.anchor() && a.position() == b.position();
    };
    if (std::equal(shown.begin(), shown.end(), marks.begin(), marks.end(),
                   [&](const auto& a, const auto& b) { return sameCursor(a.cursor, b.cursor); })) {
        return;
    }
    m_text->setExtraSelections(marks);
}

void CodeListingWindow::showProgramCounter() {
    showMark(false);
    if (const int next = m_model.programCounter(); next >= 0) {
        bringIntoView(m_model.lines().lineOf(next));
    }
}

void CodeListingWindow::bringIntoView(int line) {
    // Without wrapping, the scroll bar counts lines.
    QScrollBar* bar = m_text->verticalScrollBar();
    const int inView =
        std::max(1, m_text->viewport()->height() / m_text->fontMetrics().lineSpacing());
    if (line < bar->value() || line >= bar->value() + inView) {
        bar->setValue(line - inView / 2);
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeListingWindow.h"

#include "AddinDocument.h"
#include "AppIcon.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room for the address, the bytes and most instructions, and a screenful of lines.
constexpr int kColumnsInView = CodeListing::kTextColumn + 22;
constexpr int kLinesInView = 32;
// Gap between the main window and the listing beside it.
constexpr int kGap = 8;
// The marked lines take the selection's colour, faintly, so that a selection in the listing
// still stands out over them.
constexpr int kMarkAlpha = 70;

} // namespace

CodeListingWindow::CodeListingWindow(const AddinDocument& document, DumpState& dump,
                                     QWidget* parent)
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
        placeBeside(*parent);
    }

    connect(&m_dump, &DumpState::changed, this, &CodeListingWindow::dumpChanged);
    // Select All moves no caret the view reports: lines selected in any way select their bytes.
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this, &CodeListingWindow::selectInDump);
    connect(m_text, &QPlainTextEdit::selectionChanged, this, &CodeListingWindow::selectInDump);
}

void CodeListingWindow::placeBeside(const QWidget& owner) {
    // Right of the main window, else left of it, where it hides none of the dump; on a screen
    // too small for either, as far right as the screen allows.
    const QRect screen = owner.screen()->availableGeometry();
    const QRect ownerFrame = owner.frameGeometry();
    // The window manager's frame around it, as wide as around the main window.
    const int outerWidth = width() + (ownerFrame.width() - owner.width());
    const int outerHeight = height() + (ownerFrame.height() - owner.height());
    int x = ownerFrame.right() + 1 + kGap;
    if (x + outerWidth > screen.right() + 1 &&
        ownerFrame.left() - kGap - outerWidth >= screen.left()) {
        x = ownerFrame.left() - kGap - outerWidth;
    }
    x = std::clamp(x, screen.left(), std::max(screen.left(), screen.right() + 1 - outerWidth));
    const int y = std::clamp(ownerFrame.top(), screen.top(),
                             std::max(screen.top(), screen.bottom() + 1 - outerHeight));
    move(x, y);
}

void CodeListingWindow::dumpChanged(DumpState::Changes what) {
    if (what & DumpState::Change::Content) {
        refresh();
    } else if (what & DumpState::Change::Selection) {
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
        m_text->setPlainText(listing.text().chopped(listing.text().isEmpty() ? 0 : 1));
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
    const int lastIndex = int(m_listing.instructions().size()) - 1;
    const int first = std::min(text->findBlock(cursor.selectionStart()).blockNumber(), lastIndex);
    const QTextBlock endBlock = text->findBlock(cursor.selectionEnd());
    int last = std::min(endBlock.blockNumber(), lastIndex);
    // A selection that ends at the start of a line leaves that line out.
    if (last > first && endBlock.position() == cursor.selectionEnd()) {
        --last;
    }
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
        marked.cursor = QTextCursor(text->findBlockByNumber(first));
        if (last > first) {
            // Up to the next line's start, so that the last line is marked across too.
            const QTextBlock end = text->findBlockByNumber(last);
            marked.cursor.setPosition(
                std::min(end.position() + end.length(), text->characterCount() - 1),
                QTextCursor::KeepAnchor);
        }
        marks.append(marked);
    }
    m_text->setExtraSelections(marks);
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "BookmarksWindow.h"

#include "AddinDocument.h"
#include "AppIcon.h"
#include "ChangeTurn.h"
#include "NumberForm.h"
#include "OwnerPlacement.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

constexpr int kColumnsInView = 48;
constexpr int kLinesInView = 12;

} // namespace

BookmarksWindow::BookmarksWindow(const AddinDocument& document, const ChangeTurn& turn,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window), m_document(document), m_list(new QListWidget(this)) {
    setObjectName(QStringLiteral("frmBookmarks"));
    setWindowTitle(QStringLiteral("Bookmarks"));
    setWindowIcon(appIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    m_list->setObjectName(QStringLiteral("lstBookmarks"));
    m_list->setAccessibleName(QStringLiteral("Bookmarks"));
    m_list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_list->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    const QFontMetrics metrics(m_list->font());
    resize(metrics.horizontalAdvance(QLatin1Char('0')) * kColumnsInView,
           metrics.lineSpacing() * kLinesInView);
    if (parent) {
        OwnerPlacement::placeBeside(*this, *parent);
    }
    connect(m_list, &QListWidget::itemActivated, this,
            [this] { emit goToRequested(currentRange()); });
    connect(&turn, &ChangeTurn::ended, this, [this](const ChangeTurn::Changes& changes) {
        if (changes.marks || changes.replaced) {
            refresh();
        }
    });
    refresh();
}

void BookmarksWindow::refresh() {
    const int row = m_list->currentRow();
    m_list->clear();
    const int codeStart = m_document.codeStart();
    for (const Mark& mark : m_document.marks().marks()) {
        if (mark.type != Mark::Type::Bookmark || !mark.placed) {
            continue;
        }
        const QString where = mark.end - mark.start == 1
                                  ? NumberForm::hexWord(mark.start)
                                  : NumberForm::hexWord(mark.start) + QLatin1Char('-') +
                                        NumberForm::hexWord(mark.end - 1);
        auto* item = new QListWidgetItem(where + QLatin1String("  ") + mark.text, m_list);
        item->setData(Qt::UserRole, AddinMarks::offsetOf(mark.start, codeStart));
        item->setData(Qt::UserRole + 1, mark.end - mark.start);
    }
    if (m_list->count() == 0) {
        auto* none = new QListWidgetItem(QStringLiteral("No bookmarks: Ctrl+B marks the selected "
                                                        "bytes."),
                                         m_list);
        none->setFlags(Qt::NoItemFlags);
        return;
    }
    m_list->setCurrentRow(std::clamp(row, 0, m_list->count() - 1));
}

ByteRange BookmarksWindow::currentRange() const {
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsEnabled)) {
        return {};
    }
    return {item->data(Qt::UserRole).toInt(), item->data(Qt::UserRole + 1).toInt()};
}

bool BookmarksWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (const ByteRange range = currentRange(); !range.isEmpty()) {
            emit removeRequested(range);
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

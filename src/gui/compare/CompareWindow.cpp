// SPDX-License-Identifier: GPL-3.0-or-later
#include "CompareWindow.h"

#include "AppIcon.h"
#include "OwnerPlacement.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr QSize kSize{360, 250};

} // namespace

CompareWindow::CompareWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool), m_summary(new QLabel(this)), m_fields(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Comparison"));
    setWindowIcon(appIcon());
    // It belongs to the main window's file: no reason to keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(kSize);

    m_summary->setObjectName(QStringLiteral("lblCompare"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fields->setObjectName(QStringLiteral("tblFields"));
    m_fields->setAccessibleName(QStringLiteral("Header fields that differ"));
    m_fields->setRootIsDecorated(false);
    m_fields->setHeaderLabels(
        {QStringLiteral("Field"), QStringLiteral("This file"), QStringLiteral("The other file")});
    m_fields->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* previous = new QPushButton(QStringLiteral("&Previous difference"), this);
    previous->setObjectName(QStringLiteral("cmdPreviousDifference"));
    auto* next = new QPushButton(QStringLiteral("&Next difference"), this);
    next->setObjectName(QStringLiteral("cmdNextDifference"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(m_summary);
    column->addWidget(m_fields, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(previous);
    buttons->addWidget(next);
    column->addLayout(buttons);

    connect(next, &QPushButton::clicked, this,
            [this] { emit stepRequested(RangeStep::Direction::Forward); });
    connect(previous, &QPushButton::clicked, this,
            [this] { emit stepRequested(RangeStep::Direction::Backward); });
}

void CompareWindow::showComparison(const QStringList& summary,
                                   const QList<HeaderDifference>& fields) {
    // Numbers as the header area first shows them: hexadecimal where it has a choice.
    QList<QStringList> rows;
    for (const HeaderDifference& field : fields) {
        rows.append({field.key, field.thisText(true), field.otherText(true)});
    }
    // A typed byte compares again; the window is drawn again only when what it says changed.
    if (summary == m_shownSummary && rows == m_shownRows) {
        return;
    }
    m_shownSummary = summary;
    m_shownRows = rows;
    m_summary->setText(summary.join(QLatin1Char('\n')));
    m_fields->clear();
    for (const QStringList& row : std::as_const(rows)) {
        m_fields->addTopLevelItem(new QTreeWidgetItem(row));
    }
    m_fields->setVisible(!fields.isEmpty());
}

void CompareWindow::present() {
    if (!m_placed && parentWidget()) {
        OwnerPlacement::placeBelow(*this, *parentWidget(), Qt::AlignRight);
        m_placed = true;
    }
    show();
    raise();
}

void CompareWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit closed();
}

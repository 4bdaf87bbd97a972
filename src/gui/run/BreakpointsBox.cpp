// SPDX-License-Identifier: GPL-3.0-or-later
#include "BreakpointsBox.h"

#include "RunTexts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

BreakpointsBox::BreakpointsBox(QWidget* parent)
    : QGroupBox(QStringLiteral("Breakpoints"), parent), m_list(new QListWidget(this)),
      m_kind(new QComboBox(this)), m_address(new QLineEdit(this)) {
    setObjectName(QStringLiteral("fraRunBreakpoints"));
    m_list->setObjectName(QStringLiteral("lstRunBreakpoints"));
    m_list->setAccessibleName(QStringLiteral("Breakpoints"));
    m_list->installEventFilter(this);
    m_kind->setObjectName(QStringLiteral("cboRunBreakpointKind"));
    m_kind->setAccessibleName(QStringLiteral("Kind of breakpoint"));
    m_kind->addItems(RunTexts::breakpointKinds());
    m_address->setObjectName(QStringLiteral("txtRunBreakpointAddress"));
    m_address->setAccessibleName(QStringLiteral("Breakpoint address"));
    m_address->setPlaceholderText(QStringLiteral("F000 or a label"));
    m_address->setToolTip(QStringLiteral("An address in hexadecimal, a port, or a label's name; "
                                         "Enter sets the breakpoint"));
    auto* add = new QPushButton(QStringLiteral("A&dd"), this);
    add->setObjectName(QStringLiteral("cmdRunBreakpointAdd"));
    auto* remove = new QPushButton(QStringLiteral("Remo&ve"), this);
    remove->setObjectName(QStringLiteral("cmdRunBreakpointRemove"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_list, 0, 0, 1, 3);
    layout->addWidget(m_kind, 1, 0);
    layout->addWidget(m_address, 1, 1, 1, 2);
    layout->addWidget(add, 2, 1);
    layout->addWidget(remove, 2, 2);
    layout->setColumnStretch(0, 1);
    m_list->setMinimumHeight(m_list->fontMetrics().lineSpacing() * 4);
    connect(add, &QPushButton::clicked, this, &BreakpointsBox::add);
    connect(m_address, &QLineEdit::returnPressed, this, &BreakpointsBox::add);
    connect(remove, &QPushButton::clicked, this, &BreakpointsBox::remove);
}

void BreakpointsBox::showBreakpoints(const QStringList& lines) {
    QStringList shown;
    for (int i = 0; i < m_list->count(); ++i) {
        shown << m_list->item(i)->text();
    }
    if (shown != lines) {
        // A breakpoint set: the row is ready for the next.
        if (lines.size() > shown.size()) {
            m_address->clear();
        }
        const int selected = m_list->currentRow();
        m_list->clear();
        m_list->addItems(lines);
        m_list->setCurrentRow(qMin(selected, int(lines.size()) - 1));
    }
}

void BreakpointsBox::add() {
    emit added(MachineBreakpoint::Kind(m_kind->currentIndex()), m_address->text());
}

void BreakpointsBox::remove() {
    if (m_list->currentRow() >= 0) {
        emit removed(m_list->currentRow());
    }
}

bool BreakpointsBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        remove();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

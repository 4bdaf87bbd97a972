// SPDX-License-Identifier: GPL-3.0-or-later
#include "GoToBox.h"

#include "GoToTarget.h"
#include "OwnerPlacement.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 330;

} // namespace

GoToBox::GoToBox(QWidget* owner)
    : QDialog(owner), m_field(new QLineEdit(this)), m_refusal(new QLabel(this)) {
    setObjectName(QStringLiteral("frmGoTo"));
    setWindowTitle(QStringLiteral("Go to"));
    setModal(false);

    auto* label = new QLabel(GoToTarget::kLabel, this);
    label->setObjectName(QStringLiteral("lblGoTo"));
    label->setWordWrap(true);
    label->setBuddy(m_field);
    m_field->setObjectName(QStringLiteral("txtGoTo"));
    m_refusal->setObjectName(QStringLiteral("lblGoToRefusal"));
    m_refusal->setWordWrap(true);
    m_refusal->hide();
    auto* go = new QPushButton(QStringLiteral("&Go"), this);
    go->setObjectName(QStringLiteral("cmdGoTo"));
    go->setDefault(true);

    auto* column = new QVBoxLayout(this);
    column->addWidget(label);
    auto* row = new QHBoxLayout;
    row->addWidget(m_field, 1);
    row->addWidget(go);
    column->addLayout(row);
    column->addWidget(m_refusal);
    // A fixed width, so that the wrapped label and sentence take the height they need.
    setFixedWidth(kWidth);

    connect(m_field, &QLineEdit::textEdited, this, [this] { showRefusal({}); });
    connect(go, &QPushButton::clicked, this, &GoToBox::goRequested);
}

QString GoToBox::typed() const {
    return m_field->text();
}

void GoToBox::present() {
    if (!m_placed && parentWidget()) {
        adjustSize();
        OwnerPlacement::placeBelow(*this, *parentWidget(), Qt::AlignLeft);
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void GoToBox::showRefusal(const QString& sentence) {
    m_refusal->setText(sentence);
    m_refusal->setVisible(!sentence.isEmpty());
    adjustSize();
}

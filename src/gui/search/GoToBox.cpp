// SPDX-License-Identifier: GPL-3.0-or-later
#include "GoToBox.h"

#include "GoToTarget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 330;

} // namespace

GoToBox::GoToBox(QWidget* owner)
    : FieldBox(owner, QStringLiteral("txtGoTo"), QStringLiteral("lblGoToRefusal")) {
    setObjectName(QStringLiteral("frmGoTo"));
    setWindowTitle(QStringLiteral("Go to"));

    auto* label = new QLabel(GoToTarget::kLabel, this);
    label->setObjectName(QStringLiteral("lblGoTo"));
    label->setWordWrap(true);
    label->setBuddy(field());
    auto* go = new QPushButton(QStringLiteral("&Go"), this);
    go->setObjectName(QStringLiteral("cmdGoTo"));
    go->setDefault(true);

    auto* column = new QVBoxLayout(this);
    column->addWidget(label);
    auto* row = new QHBoxLayout;
    row->addWidget(field(), 1);
    row->addWidget(go);
    column->addLayout(row);
    column->addWidget(refusal());
    // A fixed width, so that the wrapped label and sentence take the height they need.
    setFixedWidth(kWidth);

    connect(go, &QPushButton::clicked, this, &GoToBox::goRequested);
}

QString GoToBox::typed() const {
    return field()->text();
}

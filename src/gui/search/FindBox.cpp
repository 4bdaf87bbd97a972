// SPDX-License-Identifier: GPL-3.0-or-later
#include "FindBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kWidth = 360;

QPushButton* button(const QString& name, const QString& caption, QWidget* parent) {
    auto* push = new QPushButton(caption, parent);
    push->setObjectName(name);
    return push;
}

} // namespace

FindBox::FindBox(QWidget* owner)
    : FieldBox(owner, QStringLiteral("txtFind"), QStringLiteral("lblFindRefusal")),
      m_text(new QRadioButton(QStringLiteral("&Text"), this)),
      m_bytes(new QRadioButton(QStringLiteral("&Bytes (hex, ?? for any byte)"), this)),
      m_matchCase(new QCheckBox(BytePattern::kMatchCaseLabel, this)) {
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setSizeGripEnabled(false);

    auto* label = new QLabel(QStringLiteral("Fi&nd:"), this);
    label->setBuddy(field());
    m_text->setObjectName(QStringLiteral("optText"));
    m_bytes->setObjectName(QStringLiteral("optBytes"));
    m_matchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_text->setChecked(true);
    QPushButton* next = button(QStringLiteral("cmdFindNext"), QStringLiteral("&Next"), this);
    QPushButton* previous =
        button(QStringLiteral("cmdFindPrevious"), QStringLiteral("&Previous"), this);
    // Enter in the field finds the next hit.
    next->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(field(), 0, 1, 1, 3);
    grid->addWidget(m_text, 1, 1);
    grid->addWidget(m_matchCase, 1, 2, 1, 2);
    grid->addWidget(m_bytes, 2, 1, 1, 3);
    grid->addWidget(refusal(), 3, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(previous);
    buttons->addWidget(next);
    grid->addLayout(buttons, 4, 0, 1, 4);
    // A fixed width, so that a wrapped refusal takes the height it needs.
    setFixedWidth(kWidth);

    // "Match case" is about letters: bytes are matched as they are.
    connect(m_text, &QRadioButton::toggled, m_matchCase, &QCheckBox::setEnabled);
    // A click or Alt+T, Alt+B while typing leaves the focus in the field, so the typing goes
    // on there; Tab still reaches the choices.
    for (QAbstractButton* choice :
         std::initializer_list<QAbstractButton*>{m_text, m_bytes, m_matchCase}) {
        choice->setFocusPolicy(Qt::TabFocus);
    }
    connect(next, &QPushButton::clicked, this,
            [this] { emit findRequested(RangeStep::Direction::Forward); });
    connect(previous, &QPushButton::clicked, this,
            [this] { emit findRequested(RangeStep::Direction::Backward); });
}

FindCommands::Query FindBox::query() const {
    return {field()->text(),
            m_bytes->isChecked() ? BytePattern::Mode::Bytes : BytePattern::Mode::Text,
            m_matchCase->isChecked()};
}

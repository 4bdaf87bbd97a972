// SPDX-License-Identifier: GPL-3.0-or-later
#include "FieldBox.h"

#include "OwnerPlacement.h"

#include <QLabel>
#include <QLineEdit>

FieldBox::FieldBox(QWidget* owner, const QString& fieldName, const QString& refusalName)
    : QDialog(owner), m_field(new QLineEdit(this)), m_refusal(new QLabel(this)) {
    setModal(false);
    m_field->setObjectName(fieldName);
    m_refusal->setObjectName(refusalName);
    m_refusal->setWordWrap(true);
    m_refusal->hide();
    connect(m_field, &QLineEdit::textEdited, this, [this] { showRefusal({}); });
}

void FieldBox::present() {
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

void FieldBox::showRefusal(const QString& sentence) {
    m_refusal->setText(sentence);
    m_refusal->setVisible(!sentence.isEmpty());
    adjustSize();
}

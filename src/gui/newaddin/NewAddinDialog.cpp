// SPDX-License-Identifier: GPL-3.0-or-later
#include "NewAddinDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

NewAddinDialog::NewAddinDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmNewAddin"));
    setWindowTitle(QStringLiteral("New add-in from code"));
    // It belongs to the main window: no reason to keep the program running.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_code = addField(QStringLiteral("txtNewCode"), QStringLiteral("Code file"));
    m_class = addField(QStringLiteral("txtNewClass"), QStringLiteral("Class"));
    m_class->setText(QStringLiteral("Addin"));
    m_name = addField(QStringLiteral("txtNewName"), QStringLiteral("Name"));
    m_description = addField(QStringLiteral("txtNewDescription"), QStringLiteral("Description"));
    m_icon = addField(QStringLiteral("txtNewIcon"), QStringLiteral("Icon picture"));
    m_icon->setPlaceholderText(QStringLiteral("none: all white"));
    m_pad = new QCheckBox(QStringLiteral("&Pad to 8192 bytes with FF, as Open offers to"), this);
    m_pad->setObjectName(QStringLiteral("chkNewPad"));
    m_pad->setChecked(true);
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("lblNewRefusal"));
    m_refusal->setWordWrap(true);
    m_refusal->hide();

    const auto browse = [this](const QString& name, QLineEdit* field, auto signal) {
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        auto* button = new QPushButton(QStringLiteral("Browse..."), this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        row->addWidget(button);
        connect(button, &QPushButton::clicked, this, signal);
        return row;
    };
    auto* form = new QFormLayout;
    // A row of a field and its button: the caption's key leads to the field.
    const auto caption = [this](const QString& text, QLineEdit* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        return label;
    };
    form->addRow(
        caption(QStringLiteral("&Code file:"), m_code),
        browse(QStringLiteral("cmdNewCode"), m_code, &NewAddinDialog::codeBrowseRequested));
    form->addRow(QStringLiteral("C&lass:"), m_class);
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("&Description:"), m_description);
    form->addRow(
        caption(QStringLiteral("&Icon picture:"), m_icon),
        browse(QStringLiteral("cmdNewIcon"), m_icon, &NewAddinDialog::iconBrowseRequested));
    form->addRow(m_pad);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("C&reate"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdNewCreate"));
    connect(buttons, &QDialogButtonBox::accepted, this, &NewAddinDialog::createRequested);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(m_refusal);
    column->addWidget(buttons);
    resize(480, sizeHint().height());
    for (QLineEdit* field : {m_code, m_class, m_name, m_description, m_icon}) {
        connect(field, &QLineEdit::textEdited, this, [this] { showRefusal({}); });
    }
}

QLineEdit* NewAddinDialog::addField(const QString& name, const QString& accessibleName) {
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    field->setAccessibleName(accessibleName);
    return field;
}

NewAddinCommands::Fields NewAddinDialog::fields() const {
    NewAddinCommands::Fields fields;
    fields.codePath = m_code->text();
    fields.classText = m_class->text();
    fields.name = m_name->text();
    fields.description = m_description->text();
    fields.iconPath = m_icon->text();
    fields.pad = m_pad->isChecked();
    return fields;
}

void NewAddinDialog::setCodePath(const QString& path) {
    m_code->setText(path);
    showRefusal({});
}

void NewAddinDialog::setIconPath(const QString& path) {
    m_icon->setText(path);
    showRefusal({});
}

void NewAddinDialog::showRefusal(const QString& sentence) {
    m_refusal->setText(sentence);
    m_refusal->setVisible(!sentence.isEmpty());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtPrompts.h"

#include "FileNameIconProvider.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(Prompts::Icon icon) {
    switch (icon) {
    case Prompts::Icon::None:
        return QMessageBox::NoIcon;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::Warning:
        return QMessageBox::Warning;
    case Prompts::Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardButton(Prompts::Answer answer) {
    switch (answer) {
    case Prompts::Answer::Ok:
        return QMessageBox::Ok;
    case Prompts::Answer::Cancel:
        return QMessageBox::Cancel;
    case Prompts::Answer::Yes:
        return QMessageBox::Yes;
    case Prompts::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons standardButtons(Prompts::Buttons buttons) {
    switch (buttons) {
    case Prompts::Buttons::Ok:
        return QMessageBox::Ok;
    case Prompts::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompts::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QString qtFilter(const Prompts::FileFilter& filter) {
    return filter.description + QLatin1String(" (") + filter.patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

} // namespace

QWidget* QtPrompts::owner() const {
    // A question asked from one of the program's other windows (the listing) goes over it, and
    // the keyboard returns there once it is answered.
    QWidget* active = QApplication::activeWindow();
    return active && m_parent && (active == m_parent || active->parentWidget() == m_parent)
               ? active
               : m_parent;
}

Prompts::Answer QtPrompts::ask(const Message& message) {
    QMessageBox box(boxIcon(message.icon), message.caption, message.text,
                    standardButtons(message.buttons), owner());
    box.setDefaultButton(standardButton(message.defaultButton));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        // Esc or the close box: the harmless answer.
        return message.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

std::optional<QString> QtPrompts::chooseFile(const FileRequest& request) {
    // Outlives the dialog, which does not own it.
    FileNameIconProvider icons;
    QFileDialog dialog(m_parent);
    dialog.setIconProvider(&icons);
    if (!request.caption.isEmpty()) {
        dialog.setWindowTitle(request.caption);
    }
    QStringList filters;
    for (const FileFilter& filter : request.filters) {
        filters << qtFilter(filter);
    }
    dialog.setNameFilters(filters);
    // The listed descriptions already name their patterns.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (request.kind == FileRequest::Kind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    }
    if (!request.initialName.isEmpty()) {
        dialog.selectFile(request.initialName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtPrompts::askText(const TextRequest& request) {
    bool accepted = false;
    const QString text = QInputDialog::getText(owner(), request.caption, request.label,
                                               QLineEdit::Normal, request.text, &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return text;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NewAddinCommands.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// The dialog "frmNewAddin" behind File > "New add-in from code...": what `mobrin-cli build
// --code` takes (the code file, the class, name and description, an icon picture, padding)
// and the sentence that refused them, if any. It only asks: the main window chooses the files
// and makes the add-in, and tells it a refusal to show or closes it.
class NewAddinDialog : public QDialog {
    Q_OBJECT

public:
    explicit NewAddinDialog(QWidget* owner);

    NewAddinCommands::Fields fields() const;
    void setCodePath(const QString& path);
    void setIconPath(const QString& path);
    // The sentence that refused the fields; an empty text clears it.
    void showRefusal(const QString& sentence);

signals:
    void codeBrowseRequested();
    void iconBrowseRequested();
    void createRequested();

private:
    QLineEdit* addField(const QString& name, const QString& accessibleName);

    QLineEdit* m_code;
    QLineEdit* m_class;
    QLineEdit* m_name;
    QLineEdit* m_description;
    QLineEdit* m_icon;
    QCheckBox* m_pad;
    QLabel* m_refusal;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// The Go to box "frmGoTo": one field for a file offset or a code address, explained by its
// own label. Not modal; the main window goes there and closes the box, or tells it the
// sentence that refuses what was typed.
class GoToBox : public QDialog {
    Q_OBJECT

public:
    explicit GoToBox(QWidget* owner);

    QString typed() const;
    // Shows the box beside its owner with the field's text selected.
    void present();
    // The sentence that refused the target, under the field; an empty text clears it.
    void showRefusal(const QString& sentence);

signals:
    void goRequested();

private:
    QLineEdit* m_field;
    QLabel* m_refusal;
    bool m_placed = false;
};

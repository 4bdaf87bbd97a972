// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// A small non-modal box around one field: it opens beside its owner with the field's text
// selected, and shows under the field the sentence that refused what was typed. Typing again
// clears the sentence. The Find and Go to boxes build their own rows around it.
class FieldBox : public QDialog {
    Q_OBJECT

public:
    // Shows the box beside its owner with the field's text selected.
    void present();
    // The sentence that refused what was typed; an empty text clears it.
    void showRefusal(const QString& sentence);

protected:
    // fieldName and refusalName are the object names of the field and of the sentence's label.
    FieldBox(QWidget* owner, const QString& fieldName, const QString& refusalName);

    QLineEdit* field() const { return m_field; }
    QLabel* refusal() const { return m_refusal; }

private:
    QLineEdit* m_field;
    QLabel* m_refusal;
    bool m_placed = false;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FindCommands.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// The find box "frmFind": one field, text (with "Match case") or bytes, Next and Previous. Not
// modal: the dump stays usable while it is open, and Enter finds the next hit again and
// again. It only asks; the main window searches and tells it a refusal to show.
class FindBox : public QDialog {
    Q_OBJECT

public:
    explicit FindBox(QWidget* owner);

    FindCommands::Query query() const;
    // Shows the box beside its owner with the field's text selected, ready for a new pattern.
    void present();
    // The sentence that refused the pattern, under the field; an empty text clears it.
    void showRefusal(const QString& sentence);

signals:
    void findRequested(RangeStep::Direction direction);

private:
    QLineEdit* m_field;
    QRadioButton* m_text;
    QRadioButton* m_bytes;
    QCheckBox* m_matchCase;
    QLabel* m_refusal;
    bool m_placed = false;
};

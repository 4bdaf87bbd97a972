// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FieldBox.h"
#include "FindCommands.h"

class QCheckBox;
class QRadioButton;

// The find box "frmFind": one field, text (with "Match case") or bytes, Next and Previous. Not
// modal: the dump stays usable while it is open, and Enter finds the next hit again and
// again. It only asks; the main window searches and tells it a refusal to show.
class FindBox : public FieldBox {
    Q_OBJECT

public:
    explicit FindBox(QWidget* owner);

    FindCommands::Query query() const;

signals:
    void findRequested(RangeStep::Direction direction);

private:
    QRadioButton* m_text;
    QRadioButton* m_bytes;
    QCheckBox* m_matchCase;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FieldBox.h"

// The Go to box "frmGoTo": one field for a file offset or a code address, explained by its
// own label. Not modal; the main window goes there and closes the box, or tells it the
// sentence that refuses what was typed.
class GoToBox : public FieldBox {
    Q_OBJECT

public:
    explicit GoToBox(QWidget* owner);

    QString typed() const;

signals:
    void goRequested();
};

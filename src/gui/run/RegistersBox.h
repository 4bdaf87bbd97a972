// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Z80Registers.h"

#include <QGroupBox>
#include <QList>

class QCheckBox;
class QLineEdit;

// The Run window's registers: a field a register (hex digits, as RunRegisters writes them) and
// a box a flag. A field left, or Enter in it, asks for the value typed; a register the last
// command changed shows in a colour of its own.
class RegistersBox : public QGroupBox {
    Q_OBJECT

public:
    explicit RegistersBox(QWidget* parent = nullptr);

    // Shows `now`; the registers that differ from `before` stand out.
    void showRegisters(const Z80Registers& now, const Z80Registers& before);
    QLineEdit* field(int index) const { return m_fields.at(index); }

signals:
    // Register `index` (RunRegisters' order) typed as `text`.
    void edited(int index, const QString& text);
    void flagSet(Z80Registers::Flag flag, bool on);

private:
    QList<QLineEdit*> m_fields;
    QList<QCheckBox*> m_flags;
    QList<bool> m_changed; // each field shown as changed
};

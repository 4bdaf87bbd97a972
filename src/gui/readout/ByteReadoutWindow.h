// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteReadout.h"
#include "ChangeTurn.h"

#include <QWidget>

#include <array>

class DumpState;
class QFormLayout;
class QLabel;
class QLineEdit;

// The data inspector "frmInspector": the byte at the dump's caret (the first selected byte)
// every way ByteReadout reads it. The 8- and 16-bit values can be typed over: Enter in one
// of their fields asks for it to be written, as one step that can be undone; in those fields
// the keys of Undo and Redo act on the document, not on the field's text. Not modal; it
// follows the caret, and shows the bytes afresh whenever they change, once a turn.
class ByteReadoutWindow : public QWidget {
    Q_OBJECT

public:
    ByteReadoutWindow(const DumpState& dump, const ChangeTurn& turn, QWidget* owner);

    // Shows the byte the dump's selection starts at, as the document holds it now.
    void refresh();
    // A sentence about the last value typed (why it was refused); empty clears it.
    void showNote(const QString& text);
    // Shows the window beside its owner, the first time right under it.
    void present();

    QLineEdit* valueField(ByteReadout::Value value) const;
    QString shownText(const QString& name) const;

signals:
    void valueTyped(ByteReadout::Value value, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addRow(QFormLayout* form, const QString& name, const QString& caption);

    const DumpState& m_dump;
    QFormLayout* m_form;
    QLabel* m_offset;
    QLabel* m_dumpOffset;
    QLabel* m_address;
    QLabel* m_field;
    std::array<QLineEdit*, 4> m_values{};
    QLabel* m_binary;
    QLabel* m_character;
    QLabel* m_instruction;
    QLabel* m_note;
    bool m_placed = false;
};

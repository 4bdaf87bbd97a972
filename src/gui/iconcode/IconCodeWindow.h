// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

// A small fixed window that shows the icon as assembler source for the user to copy: the ".db"
// lines it has always shown, or, with its "defb" box ticked, the same rows as z80asm and pasmo
// both assemble them (IconCode::asAssembler). It has no owner, stays out of the task bar and
// destroys itself when closed.
class IconCodeWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QPoint kClientPosition{184, 250};
    static constexpr QSize kClientSize{241, 320};

    explicit IconCodeWindow(QWidget* parent = nullptr);

    // Replaces the whole text at once: the ".db" lines, shown in the form chosen.
    void setCode(const QString& text);
    // The text shown: the ".db" lines with CR LF line ends as they were given, or the "defb"
    // lines with line feeds.
    QString code() const;
    QCheckBox* assemblerBox() const { return m_assembler; }

private:
    void showCode();

    QPlainTextEdit* m_code;
    QPushButton* m_ok;
    QCheckBox* m_assembler;
    QString m_given;
};

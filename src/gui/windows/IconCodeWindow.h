// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// A small fixed window that shows the icon as assembler source for the user to copy. It has no
// owner, stays out of the task bar and destroys itself when closed.
class IconCodeWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr QPoint kClientPosition{184, 250};
    static constexpr QSize kClientSize{241, 320};

    explicit IconCodeWindow(QWidget* parent = nullptr);

    // Replaces the whole text at once.
    void setCode(const QString& text);
    // The text shown, with CR LF line ends as it was given.
    QString code() const;

private:
    QPlainTextEdit* m_code;
    QPushButton* m_ok;
};

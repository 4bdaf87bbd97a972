// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NumberDisplay.h"

#include <QLabel>
#include <QStatusBar>

class QTimer;

// One panel of the status bar, found by its key (the object name). A number panel shows its
// value in hexadecimal or decimal, and a click switches between them.
class StatusPanel : public QLabel {
    Q_OBJECT

public:
    StatusPanel(const QString& key, const QString& toolTip, QWidget* parent = nullptr);

    NumberForm::Base base() const { return m_number.base(); }
    void showNumber(int value);
    void toggleBase();

signals:
    void clicked(StatusPanel* panel);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    NumberDisplay m_number{NumberDisplay::Form::Plain};
    bool m_releaseEndsDoubleClick = false;
};

// The status bar: current position, selection length and total size, each in hexadecimal
// or decimal by its own panel's mode; a message panel; the time of day.
class StatusPanels : public QStatusBar {
    Q_OBJECT

public:
    explicit StatusPanels(QWidget* parent = nullptr);

    StatusPanel* panel(const QString& key) const;
    void showValues(int position, int length, int totalSize);
    // A sentence in the message panel about the last command ("not found", a search that
    // wrapped); an empty text clears it.
    void showNote(const QString& text);

private:
    void showTime();

    StatusPanel* m_position;
    StatusPanel* m_length;
    StatusPanel* m_total;
    StatusPanel* m_say;
    StatusPanel* m_time;
    QTimer* m_clock;
};

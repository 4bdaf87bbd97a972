// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QStatusBar>

class QTimer;

// One panel of the status bar, found by its key (the object name); a click toggles its
// display mode, kept in its "Tag" property.
class StatusPanel : public QLabel {
    Q_OBJECT

public:
    StatusPanel(const QString& key, const QString& toolTip, QWidget* parent = nullptr);

    QString tag() const { return property("Tag").toString(); }
    void setTag(const QString& tag) { setProperty("Tag", tag); }

signals:
    void clicked(StatusPanel* panel);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
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

private:
    void togglePanel(StatusPanel* panel);
    void showTime();

    StatusPanel* m_position;
    StatusPanel* m_length;
    StatusPanel* m_total;
    StatusPanel* m_say;
    StatusPanel* m_time;
    QTimer* m_clock;
    int m_values[3] = {0, 0, 0};
};

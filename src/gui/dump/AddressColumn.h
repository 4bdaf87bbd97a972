// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// The address column beside the panes: its text holds lines ended by a carriage return, and
// it paints them one per visual line of the panes, at the panes' own line pitch.
class AddressColumn : public QLabel {
    Q_OBJECT

public:
    explicit AddressColumn(QWidget* parent = nullptr);

    void setLinePitch(qreal pitch);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_linePitch = 15;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinComparison.h"

#include <QWidget>

class QLabel;
class QTreeWidget;

// The comparison window "frmCompare": what was compared with what, and the header fields that
// differ (field, this file, the other file). Not modal; closing it ends the comparison. It
// shows what it is given and asks for steps; the main window does the rest.
class CompareWindow : public QWidget {
    Q_OBJECT

public:
    explicit CompareWindow(QWidget* owner);

    void showComparison(const QStringList& summary, const QList<HeaderDifference>& fields);
    // Shows the window beside its owner, the first time right under it.
    void present();

    QTreeWidget* fieldTable() const { return m_fields; }

signals:
    void stepRequested(RangeStep::Direction direction);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_summary;
    QTreeWidget* m_fields;
    bool m_placed = false;
    QStringList m_shownSummary;
    QList<QStringList> m_shownRows;
};

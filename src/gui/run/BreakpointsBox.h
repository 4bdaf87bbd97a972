// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MachineBreakpoint.h"

#include <QGroupBox>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QListWidget;

// The Run window's breakpoints: the list, and a row to set one of any kind at an address or a
// label (Enter or Add); Delete or Remove takes the selected one away.
class BreakpointsBox : public QGroupBox {
    Q_OBJECT

public:
    explicit BreakpointsBox(QWidget* parent = nullptr);

    void showBreakpoints(const QStringList& lines);

signals:
    void added(MachineBreakpoint::Kind kind, const QString& address);
    void removed(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void add();
    void remove();

    QListWidget* m_list;
    QComboBox* m_kind;
    QLineEdit* m_address;
};

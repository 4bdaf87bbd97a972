// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DumpState.h"

#include <QFrame>

class AddressColumn;
class DumpPane;
class QLabel;

// The dump area: the hex pane and the ASCII pane with their red column headers and the blue
// address column between them. Both panes paint the dump's state, so they show one caret, one
// selection, the same highlights and one first line; the view tells the state which pane leads: the
// one with the focus, or the one the pointer moves over, frame and column header included.
class DumpView : public QFrame {
    Q_OBJECT

public:
    static constexpr int kDesignWidth = 629;

    explicit DumpView(DumpState& state, QWidget* parent = nullptr);

    // Letters the dump with `base` (a monospace font) fitted to the cells the panes are laid
    // out for: 48 and 16 characters a line, 15 lines in view, whatever the font's own size.
    void setDumpFont(const QFont& base);

    void focusHexPane();

    DumpState::Pane leader() const { return m_state.leader(); }
    DumpPane* pane(DumpState::Pane which) const;
    DumpPane* activePane() const { return pane(leader()); }
    // The pane with the keyboard focus, if either has it.
    DumpPane* focusedPane() const;
    qreal linePitch() const;

    DumpPane* scrHEX;
    DumpPane* scrASC;
    AddressColumn* lblAds;

signals:
    // Text typed in a pane, to write over its bytes.
    void typed(DumpState::Pane pane, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void lead(DumpState::Pane pane);
    void watchPane(DumpPane* pane);
    void stateChanged(DumpState::Changes what);

    QFrame* m_frame2;
    QFrame* m_frame1;
    QLabel* m_label1;
    QLabel* m_label2;
    DumpState& m_state;
};

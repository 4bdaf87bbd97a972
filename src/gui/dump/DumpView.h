// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DumpState.h"

#include <QFrame>

class AddressColumn;
class DumpPane;
class QLabel;

// The dump area: the hex pane and the ASCII pane with their red column headers and the blue
// address column between them. It shows the dump's state and tells it what the user does: the
// pane the user works in leads, and a pass of the sync reports its selection and first line to
// the state and puts the other pane in step. A pass runs whenever something it reads may have
// changed, at most once per turn of the event loop, and before the next paint. A selection
// asked of the state from outside is selected in the leading pane, which scrolls to it.
class DumpView : public QFrame {
    Q_OBJECT

public:
    static constexpr int kDesignWidth = 629;

    explicit DumpView(DumpState& state, QWidget* parent = nullptr);

    // Letters the dump with `base` (a monospace font) fitted to the cells the panes are laid
    // out for: 48 and 16 characters a line, 15 lines in view, whatever the font's own size.
    void setDumpFont(const QFont& base);

    void showTexts(const QString& hex, const QString& ascii);
    // Marks the bytes of `runs` (file offsets, inside what the dump shows) in both panes, in a
    // colour of their own that keeps the text readable on a light or a dark palette; an empty
    // list takes the marks away. New texts take them away too.
    void markRuns(const QList<ByteRange>& runs);
    void focusHexPane();

    PaneSync::Pane leader() const { return m_state.leader(); }
    DumpPane* pane(PaneSync::Pane which) const;
    DumpPane* activePane() const { return pane(leader()); }
    DumpPane* mirrorPane() const;
    qreal linePitch() const;

    DumpPane* scrHEX;
    DumpPane* scrASC;
    AddressColumn* lblAds;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void lead(PaneSync::Pane pane);
    void scheduleSync();
    void syncNow();
    void watchPane(DumpPane* pane, PaneSync::Pane which);
    void stateChanged(DumpState::Changes what);
    void selectInLeader(DumpState::Selection selection);

    QFrame* m_frame2;
    QFrame* m_frame1;
    QLabel* m_label1;
    QLabel* m_label2;
    DumpState& m_state;
    bool m_syncPending = false;
};

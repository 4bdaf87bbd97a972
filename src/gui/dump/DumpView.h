// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PaneSync.h"

#include <QFrame>

class AddressColumn;
class DumpPane;
class QLabel;

// The dump area: the hex pane and the ASCII pane with their red column headers and the blue
// address column between them. The pane the user works in leads; the other follows its
// first visible line and selection. A pass of that sync runs whenever something it reads may
// have changed, at most once per turn of the event loop, and before the next paint.
class DumpView : public QFrame {
    Q_OBJECT

public:
    static constexpr int kDesignWidth = 629;

    explicit DumpView(QWidget* parent = nullptr);

    // Letters the dump with `base` (a monospace font) fitted to the cells the panes are laid
    // out for: 48 and 16 characters a line, 15 lines in view, whatever the font's own size.
    void setDumpFont(const QFont& base);

    void showTexts(const QString& hex, const QString& ascii);
    void setAddressText(const QString& lines);
    void focusHexPane();
    // Selects `length` bytes from dump offset `position` in the leading pane, which scrolls
    // to them; the sync mirrors the selection in the other pane.
    void selectBytes(int position, int length);

    PaneSync::Pane leader() const { return m_leader; }
    DumpPane* pane(PaneSync::Pane which) const;
    DumpPane* activePane() const { return pane(m_leader); }
    DumpPane* mirrorPane() const;
    qreal linePitch() const;

    DumpPane* scrHEX;
    DumpPane* scrASC;
    AddressColumn* lblAds;

signals:
    // After each pass: the dump offset of the selection or caret, and the selection length.
    void synced(int position, int length);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void lead(PaneSync::Pane pane);
    void scheduleSync();
    void syncNow();
    void watchPane(DumpPane* pane, PaneSync::Pane which);

    QFrame* m_frame2;
    QFrame* m_frame1;
    QLabel* m_label1;
    QLabel* m_label2;
    PaneSync m_sync;
    PaneSync::Pane m_leader = PaneSync::Pane::Hex;
    bool m_syncPending = false;
};

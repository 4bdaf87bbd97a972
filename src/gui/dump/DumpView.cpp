// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpView.h"

#include "AddressColumn.h"
#include "CellFont.h"
#include "DumpPane.h"
#include "DumpText.h"

#include <QEvent>
#include <QLabel>

namespace {

QLabel* columnHeader(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(colours);
    label->setMouseTracking(true);
    return label;
}

QFrame* paneFrame(QWidget* parent, const QString& name) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::NoFrame);
    frame->setMouseTracking(true);
    return frame;
}

} // namespace

DumpView::DumpView(DumpState& state, QWidget* parent) : QFrame(parent), m_state(state) {
    setObjectName(QStringLiteral("Frame3"));
    setFrameStyle(QFrame::Box | QFrame::Sunken);

    m_frame2 = paneFrame(this, QStringLiteral("Frame2"));
    m_frame1 = paneFrame(this, QStringLiteral("Frame1"));
    m_label1 = columnHeader(m_frame2, QStringLiteral("Label1"),
                            QStringLiteral("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"));
    m_label2 = columnHeader(m_frame1, QStringLiteral("Label2"), QStringLiteral("1234567890ABCDEF"));

    scrHEX = new DumpPane(m_state, DumpState::Pane::Hex, m_frame2);
    scrHEX->setObjectName(QStringLiteral("scrHEX"));
    scrHEX->setToolTip(QStringLiteral("The HEX window"));
    scrASC = new DumpPane(m_state, DumpState::Pane::Ascii, m_frame1);
    scrASC->setObjectName(QStringLiteral("scrASC"));
    scrASC->setToolTip(QStringLiteral("The ASCII window"));
    lblAds = new AddressColumn(this);
    lblAds->setLinePitch(CellFont::kCell.height());
    layOut();

    watchPane(scrHEX);
    watchPane(scrASC);
    for (QObject* area : {static_cast<QObject*>(m_frame2), static_cast<QObject*>(m_label1),
                          static_cast<QObject*>(m_frame1), static_cast<QObject*>(m_label2)}) {
        area->installEventFilter(this);
    }
    connect(&m_state, &DumpState::changed, this, &DumpView::stateChanged);
    stateChanged(DumpState::Change::TopLine);
}

void DumpView::layOut() {
    // The designed places, in pixels. Both panes' first lines stand level with the first
    // address, and each column header stands right above its pane's first column.
    setFixedSize(kDesignWidth, 267);
    m_frame2->setGeometry(6, 8, 420, 257);
    scrHEX->setGeometry(6, 14, 408, 234);
    scrHEX->setTextArea({3, 6}, DumpText::kLinesInView);
    m_label1->setGeometry(9, 1, 376, 15);
    m_frame1->setGeometry(457, 8, 165, 257);
    scrASC->setGeometry(7, 16, 153, 234);
    scrASC->setTextArea({2, 4}, DumpText::kLinesInView);
    m_label2->setGeometry(9, 3, 128, 15);
    lblAds->setGeometry(424, 28, 33, 227);
}

void DumpView::watchPane(DumpPane* pane) {
    const DumpState::Pane which = pane->kind();
    connect(pane, &DumpPane::focusGained, this, [this, which] { lead(which); });
    connect(pane, &DumpPane::pointerMoved, this, [this, which] { lead(which); });
    connect(pane, &DumpPane::typed, this,
            [this, which](const QString& text) { emit typed(which, text); });
}

void DumpView::setDumpFont(const QFont& base) {
    const QFont cells = CellFont::fit(base);
    for (QWidget* text : {static_cast<QWidget*>(m_label1), static_cast<QWidget*>(m_label2),
                          static_cast<QWidget*>(lblAds)}) {
        text->setFont(cells);
    }
    // The hex pane holds only hex digits and spaces, which need no shaping; skipping it makes
    // drawing its lines cheaper. The ASCII pane keeps it: unshaped, DEL would take no room
    // and pull the rest of its line one column left.
    QFont hexCells = cells;
    hexCells.setStyleStrategy(QFont::PreferNoShaping);
    scrHEX->setCellFont(hexCells);
    scrASC->setCellFont(cells);
}

void DumpView::focusHexPane() {
    scrHEX->setFocus(Qt::OtherFocusReason);
    lead(DumpState::Pane::Hex);
}

qreal DumpView::linePitch() const {
    return CellFont::kCell.height();
}

void DumpView::stateChanged(DumpState::Changes what) {
    if (what & (DumpState::Change::Content | DumpState::Change::TopLine)) {
        lblAds->setText(DumpText::addressLinesFrom(m_state.topLine()));
    }
}

DumpPane* DumpView::pane(DumpState::Pane which) const {
    return which == DumpState::Pane::Hex ? scrHEX : scrASC;
}

DumpPane* DumpView::focusedPane() const {
    if (scrHEX->hasFocus()) {
        return scrHEX;
    }
    return scrASC->hasFocus() ? scrASC : nullptr;
}

bool DumpView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        lead(watched == m_frame2 || watched == m_label1 ? DumpState::Pane::Hex
                                                        : DumpState::Pane::Ascii);
    }
    return QFrame::eventFilter(watched, event);
}

void DumpView::lead(DumpState::Pane pane) {
    m_state.setLeader(pane);
}

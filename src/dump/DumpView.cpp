#include "DumpView.h"

#include "AddressColumn.h"
#include "DumpPane.h"
#include "DumpText.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QScrollBar>
#include <QTextBlock>

#include <cmath>

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

DumpView::DumpView(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Frame3"));
    setFrameStyle(QFrame::Box | QFrame::Sunken);

    m_frame2 = paneFrame(this, QStringLiteral("Frame2"));
    m_frame1 = paneFrame(this, QStringLiteral("Frame1"));
    m_label1 = columnHeader(m_frame2, QStringLiteral("Label1"),
                            QStringLiteral("00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F"));
    m_label2 = columnHeader(m_frame1, QStringLiteral("Label2"), QStringLiteral("1234567890ABCDEF"));

    scrHEX = new DumpPane(DumpText::kHexCharsPerLine, m_frame2);
    scrHEX->setObjectName(QStringLiteral("scrHEX"));
    scrHEX->setToolTip(QStringLiteral("The HEX window"));
    scrASC = new DumpPane(DumpText::kBytesPerLine, m_frame1);
    scrASC->setObjectName(QStringLiteral("scrASC"));
    scrASC->setToolTip(QStringLiteral("The ASCII window"));
    lblAds = new AddressColumn(this);

    watchPane(scrHEX, PaneSync::Pane::Hex);
    watchPane(scrASC, PaneSync::Pane::Ascii);
    for (QObject* area : {static_cast<QObject*>(m_frame2), static_cast<QObject*>(m_label1),
                          static_cast<QObject*>(m_frame1), static_cast<QObject*>(m_label2)}) {
        area->installEventFilter(this);
    }
    scheduleSync();
}

void DumpView::watchPane(DumpPane* pane, PaneSync::Pane which) {
    connect(pane, &DumpPane::focusGained, this, [this, which] { lead(which); });
    connect(pane, &DumpPane::pointerMoved, this, [this, which] { lead(which); });
    connect(pane, &QPlainTextEdit::selectionChanged, this, &DumpView::scheduleSync);
    connect(pane, &QPlainTextEdit::cursorPositionChanged, this, &DumpView::scheduleSync);
    connect(pane->verticalScrollBar(), &QScrollBar::valueChanged, this, &DumpView::scheduleSync);
}

void DumpView::setDumpFont(const QFont& font) {
    const QFontMetricsF metrics(font);
    for (QWidget* text : {static_cast<QWidget*>(m_label1), static_cast<QWidget*>(m_label2),
                          static_cast<QWidget*>(lblAds)}) {
        text->setFont(font);
    }
    m_label1->adjustSize();
    m_label2->adjustSize();
    // The hex pane holds only hex digits and spaces, which need no shaping; skipping it makes
    // laying out its lines cheaper. The ASCII pane keeps it: unshaped, DEL would take no room
    // and pull the rest of its line one column left.
    QFont hexFont = font;
    hexFont.setStyleStrategy(QFont::PreferNoShaping);
    scrHEX->fitTo(hexFont, DumpText::kLinesInView);
    scrASC->fitTo(font, DumpText::kLinesInView);
    m_linePitch = DumpPane::linePitch(font);
    lblAds->setLinePitch(m_linePitch);

    // Column headers stand right above the first character column of their pane.
    const int textInset = scrHEX->frameWidth() + DumpPane::kInset;
    const int headerHeight = int(std::ceil(m_linePitch));
    const int paneTop = 1 + headerHeight;
    m_label1->move(6 + textInset, 1);
    scrHEX->move(6, paneTop);
    m_label2->move(6 + textInset, 1);
    scrASC->move(6, paneTop);
    const int frame2Width = scrHEX->width() + 12;
    const int frame1Width = scrASC->width() + 12;
    const int frameHeight = paneTop + scrHEX->height() + 2;

    // Hex frame, address column and ASCII frame side by side, the group centred in the area;
    // each address stands level with its line of the panes.
    const int columnWidth = int(std::ceil(metrics.horizontalAdvance(QStringLiteral("0000")))) + 2;
    const int gap = 6;
    const int groupWidth = frame2Width + gap + columnWidth + gap + frame1Width;
    const int left = qMax(2, (kDesignWidth - groupWidth) / 2);
    m_frame2->setGeometry(left, 8, frame2Width, frameHeight);
    lblAds->setGeometry(left + frame2Width + gap, 8 + paneTop + textInset, columnWidth,
                        int(std::ceil(DumpText::kLinesInView * m_linePitch)));
    m_frame1->setGeometry(lblAds->geometry().right() + 1 + gap, 8, frame1Width, frameHeight);
    setFixedSize(kDesignWidth, m_frame2->y() + m_frame2->height() + 2);
}

void DumpView::showTexts(const QString& hex, const QString& ascii) {
    scrHEX->clear();
    scrASC->clear();
    scrHEX->setDumpText(hex);
    scrASC->setDumpText(ascii);
    scheduleSync();
}

void DumpView::setAddressText(const QString& lines) {
    lblAds->setText(lines);
}

void DumpView::focusHexPane() {
    scrHEX->setFocus(Qt::OtherFocusReason);
    lead(PaneSync::Pane::Hex);
}

DumpPane* DumpView::pane(PaneSync::Pane which) const {
    return which == PaneSync::Pane::Hex ? scrHEX : scrASC;
}

DumpPane* DumpView::mirrorPane() const {
    return pane(m_leader == PaneSync::Pane::Hex ? PaneSync::Pane::Ascii : PaneSync::Pane::Hex);
}

bool DumpView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        lead(watched == m_frame2 || watched == m_label1 ? PaneSync::Pane::Hex
                                                        : PaneSync::Pane::Ascii);
    }
    return QFrame::eventFilter(watched, event);
}

void DumpView::lead(PaneSync::Pane pane) {
    m_leader = pane;
    scheduleSync();
}

void DumpView::scheduleSync() {
    if (m_syncPending) {
        return;
    }
    m_syncPending = true;
    // Queued calls run before the low-priority paint requests, so the follower is in step
    // before anything is drawn.
    QMetaObject::invokeMethod(this, &DumpView::syncNow, Qt::QueuedConnection);
}

void DumpView::syncNow() {
    m_syncPending = false;
    DumpPane* leading = activePane();
    DumpPane* following = mirrorPane();
    const PaneSync::Pane follower =
        m_leader == PaneSync::Pane::Hex ? PaneSync::Pane::Ascii : PaneSync::Pane::Hex;

    PaneSync::Reading reading;
    reading.leader = m_leader;
    reading.selStart = leading->selectionStart();
    reading.selLength = leading->selectionLength();
    reading.leaderTopChar = leading->firstVisibleChar();
    reading.followerTopChar = following->firstVisibleChar();
    const PaneSync::Step step = m_sync.step(reading);

    // Setting a selection scrolls its pane to the caret, so the scroll is matched after it.
    if (step.followerSelection) {
        following->select(step.followerSelection->start, step.followerSelection->length);
    }
    const int followerLine = PaneSync::lineOfChar(follower, following->firstVisibleChar());
    if (followerLine != step.firstLine) {
        following->scrollByLines(step.firstLine - followerLine);
    }
    if (step.addressFirstLine) {
        setAddressText(DumpText::addressLinesFrom(*step.addressFirstLine));
    }
    emit synced(step.position, step.length);
}

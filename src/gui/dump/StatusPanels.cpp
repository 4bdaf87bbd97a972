// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusPanels.h"

#include <QLocale>
#include <QMouseEvent>
#include <QTime>
#include <QTimer>

#include <utility>

StatusPanel::StatusPanel(const QString& key, const QString& toolTip, QWidget* parent)
    : QLabel(parent) {
    setObjectName(key);
    setToolTip(toolTip);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setContentsMargins(3, 0, 3, 0);
}

void StatusPanel::showNumber(int value) {
    m_number.show(value);
    setText(m_number.text());
}

void StatusPanel::toggleBase() {
    m_number.toggle();
    setText(m_number.text());
}

void StatusPanel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    // A double-click is one click: the release that ends it toggles nothing.
    const bool endsDoubleClick = std::exchange(m_releaseEndsDoubleClick, false);
    if (!endsDoubleClick && event->button() == Qt::LeftButton) {
        emit clicked(this);
    }
}

void StatusPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    m_releaseEndsDoubleClick = true;
}

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent), m_clock(new QTimer(this)) {
    setObjectName(QStringLiteral("stBar"));
    setSizeGripEnabled(false);
    QFont panelFont(QStringLiteral("Arial"));
    panelFont.setPointSizeF(8.25);
    setFont(panelFont);

    m_position = new StatusPanel(QStringLiteral("ctPos"),
                                 QStringLiteral("Current position - click to toggle HEX/Dec"));
    m_length = new StatusPanel(QStringLiteral("SelLen"),
                               QStringLiteral("Selected bytes - click to toggle HEX/Dec"));
    m_total = new StatusPanel(QStringLiteral("totByte"),
                              QStringLiteral("Total file size - click to toggle HEX/Dec"));
    m_say = new StatusPanel(QStringLiteral("say"), QString());
    m_time = new StatusPanel(QStringLiteral("time"), QString());
    for (StatusPanel* numbers : {m_position, m_length, m_total}) {
        numbers->setMinimumWidth(64);
        addPermanentWidget(numbers);
        connect(numbers, &StatusPanel::clicked, numbers, &StatusPanel::toggleBase);
    }
    // A long note must not widen the status bar of a window of fixed size.
    m_say->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addPermanentWidget(m_say, 1);
    addPermanentWidget(m_time);

    // The clock changes once a minute; waking more often would cost CPU for nothing.
    m_clock->setSingleShot(true);
    connect(m_clock, &QTimer::timeout, this, &StatusPanels::showTime);
    showTime();
    showValues(0, 0, 0);
}

StatusPanel* StatusPanels::panel(const QString& key) const {
    return findChild<StatusPanel*>(key);
}

void StatusPanels::showValues(int position, int length, int totalSize) {
    m_position->showNumber(position);
    m_total->showNumber(totalSize);
    m_length->showNumber(length);
}

void StatusPanels::showNote(const QString& text) {
    m_say->setText(text);
    // A sentence longer than the panel is cut off there; its tooltip holds all of it.
    m_say->setToolTip(text);
}

void StatusPanels::showTime() {
    const QTime now = QTime::currentTime();
    // The time of day to the minute, in the user's own short form.
    QString format = QLocale().timeFormat(QLocale::ShortFormat);
    format.remove(QStringLiteral(":ss"));
    m_time->setText(QLocale().toString(now, format));
    m_clock->start(qMax(1000, (60 - now.second()) * 1000 - now.msec()));
}

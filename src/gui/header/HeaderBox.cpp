// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderBox.h"

#include "SaveAsKey.h"

#include <QMouseEvent>

#include <utility>

HeaderBox::HeaderBox(const QString& objectName, const QString& toolTip, QWidget* parent)
    : QLineEdit(parent) {
    setObjectName(objectName);
    setToolTip(toolTip);
    setFrame(true);
    setTextMargins(0, 0, 0, 0);
    applyLock();
}

void HeaderBox::setLocked(bool locked) {
    m_locked = locked;
    applyLock();
}

void HeaderBox::toggleLock() {
    setLocked(!m_locked);
    m_oldText = text();
}

bool HeaderBox::endEdit() {
    setLocked(true);
    return text() != m_oldText;
}

void HeaderBox::showField(const QString& text, int length) {
    setText(text);
    m_oldText = text;
    m_fieldLength = qMax(0, length);
    applyLock();
}

void HeaderBox::setNumberForm(NumberDisplay::Form form) {
    m_number.emplace(form);
    showNumberText();
}

void HeaderBox::showNumber(int value) {
    m_number->show(value);
    showNumberText();
}

void HeaderBox::showZero() {
    m_number->showZero();
    showNumberText();
}

void HeaderBox::showNumberText() {
    setText(m_number->text());
}

void HeaderBox::applyLock() {
    // A box without a field to patch takes no typing and keeps looking locked, even after the
    // double-click that would unlock it.
    const bool editable = !m_locked && m_fieldLength > 0;
    setReadOnly(!editable);
    // Without a field there is no limit to keep: the box is read-only then anyway. Setting the
    // limit resets the text, so it is set only when it changes: the word a double-click
    // selected stays selected, and typing replaces it.
    const int limit = m_fieldLength > 0 ? m_fieldLength : 32767;
    if (maxLength() != limit) {
        setMaxLength(limit);
    }
    QPalette colours = palette();
    const QColor window = parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                                         : palette().color(QPalette::Window);
    colours.setColor(QPalette::Base, editable ? QColor(255, 255, 255) : window);
    setPalette(colours);
}

bool HeaderBox::event(QEvent* event) {
    return SaveAsKey::leaveToWindow(event) || QLineEdit::event(event);
}

void HeaderBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    // A double-click is one click: the release that ends it toggles nothing.
    const bool endsDoubleClick = std::exchange(m_releaseEndsDoubleClick, false);
    if (m_number && m_toggles && !endsDoubleClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        m_number->toggle();
        showNumberText();
    }
}

void HeaderBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    m_releaseEndsDoubleClick = true;
    emit doubleClicked();
}

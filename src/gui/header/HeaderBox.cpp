// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderBox.h"

#include "NumberForm.h"

#include <QKeyEvent>

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

void HeaderBox::setFieldLength(int length) {
    m_fieldLength = qMax(0, length);
    applyLock();
}

void HeaderBox::showField(const QString& text, int length) {
    setText(text);
    m_oldText = text;
    setFieldLength(length);
}

void HeaderBox::applyLock() {
    setReadOnly(m_locked || m_fieldLength == 0);
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
    colours.setColor(QPalette::Base, m_locked ? window : QColor(255, 255, 255));
    setPalette(colours);
}

bool HeaderBox::event(QEvent* event) {
    // Ctrl+A is the window's Save As, here as everywhere else in the window.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void HeaderBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    // A double-click is one click: the release that ends it toggles nothing.
    const bool endsDoubleClick = std::exchange(m_releaseEndsDoubleClick, false);
    if (m_toggles && !endsDoubleClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        toggleNumber();
    }
}

void HeaderBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    m_releaseEndsDoubleClick = true;
    emit doubleClicked();
}

void HeaderBox::toggleNumber() {
    setText(NumberForm::toggledText(text(), tag()));
    setTag(NumberForm::toggledTag(tag()));
}

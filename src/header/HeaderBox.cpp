#include "HeaderBox.h"

#include <QKeyEvent>
#include <QMouseEvent>

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

void HeaderBox::setFieldLength(int length) {
    m_fieldLength = qMax(0, length);
    applyLock();
}

void HeaderBox::applyLock() {
    setReadOnly(m_locked || m_fieldLength == 0);
    // Without a field there is no limit to keep: the box is read-only then anyway.
    setMaxLength(m_fieldLength > 0 ? m_fieldLength : 32767);
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

void HeaderBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focusGained();
}

void HeaderBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit focusLost();
}

void HeaderBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

void HeaderBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

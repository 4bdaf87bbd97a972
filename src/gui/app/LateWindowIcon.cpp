// SPDX-License-Identifier: GPL-3.0-or-later
#include "LateWindowIcon.h"

#include "AppIcon.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// Watches for the window's first exposure. The paint it starts runs while the exposure is
// handled, so the icon, queued from here, follows that paint.
class FirstExposure : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                QApplication::setWindowIcon(appIcon());
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

namespace LateWindowIcon {

void setAfterFirstPaint(const QWidget& window) {
    QWindow* handle = window.windowHandle();
    if (!handle) {
        QApplication::setWindowIcon(appIcon());
        return;
    }
    handle->installEventFilter(new FirstExposure(handle));
}

} // namespace LateWindowIcon

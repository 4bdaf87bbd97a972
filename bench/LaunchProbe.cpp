// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded (LD_PRELOAD) into a Qt program for the launch benchmarks; does nothing unless asked
// through its environment:
//   MOBRIN_BENCH_EXIT_ON_EXPOSE=1  end the process the moment its first window is exposed
//   MOBRIN_BENCH_SAY_EXPOSED=1     print "exposed" on stdout at that moment and go on
//   MOBRIN_BENCH_NO_BLINK=1        switch caret blinking off (cursor flash time 0)
// The first exposed window is also asked to become active, so that its focused widget shows
// a caret even on an X server without a window manager.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QStyleHints>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

bool wanted(const char* name) {
    return qEnvironmentVariableIntValue(name) == 1;
}

class ExposeWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isTopLevel() && window->isExposed()) {
                m_seen = true;
                if (wanted("MOBRIN_BENCH_EXIT_ON_EXPOSE")) {
                    ::_exit(0);
                }
                if (wanted("MOBRIN_BENCH_SAY_EXPOSED")) {
                    std::fputs("exposed\n", stdout);
                    std::fflush(stdout);
                }
                window->requestActivate();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

void startWatching() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        return;
    }
    if (wanted("MOBRIN_BENCH_NO_BLINK")) {
        QGuiApplication::styleHints()->setCursorFlashTime(0);
    }
    QCoreApplication::instance()->installEventFilter(new ExposeWatch(QCoreApplication::instance()));
}

// Runs as the application object is constructed, before the program's own code goes on.
const bool registered = [] {
    qAddPreRoutine(startWatching);
    return true;
}();

} // namespace

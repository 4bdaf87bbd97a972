// SPDX-License-Identifier: GPL-3.0-or-later
// Preloaded (LD_PRELOAD) into a Qt program for the launch benchmarks; does nothing unless asked
// through its environment:
//   MOBRIN_BENCH_EXIT_ON_EXPOSE=1  end the process the moment its first window is exposed,
//                                  printing "phases APP EXPOSE" first: the monotonic clock's
//                                  milliseconds when the application object was made and now
//   MOBRIN_BENCH_SAY_EXPOSED=1     print "exposed" on stdout at that moment and go on
//   MOBRIN_BENCH_NO_BLINK=1        switch caret blinking off (cursor flash time 0)
// The first exposed window is also asked to become active, so that its focused widget shows
// a caret even on an X server without a window manager.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QStyleHints>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

bool wanted(const char* name) {
    return qEnvironmentVariableIntValue(name) == 1;
}

// The clock bench_launch starts its timer on.
double monotonicMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double applicationMadeMs = 0;

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
                    std::printf("phases %.3f %.3f\n", applicationMadeMs, monotonicMs());
                    std::fflush(stdout);
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
    applicationMadeMs = monotonicMs();
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

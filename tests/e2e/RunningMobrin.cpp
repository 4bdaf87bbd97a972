// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunningMobrin.h"

#include "DesktopSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QThread>

RunningMobrin::RunningMobrin(const DesktopSession& desktop, const QStringList& arguments,
                             const QString& workingFolder, const QProcessEnvironment& added,
                             const std::function<void()>& inChild)
    : m_desktop(desktop) {
    QProcessEnvironment environment = desktop.environment();
    environment.insert(added);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // Qt answers a screen reader only when asked; this desktop runs none that would ask.
    environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    m_process.setProcessEnvironment(environment);
    // Into a file, so that nothing is lost while no event loop reads a pipe.
    m_process.setStandardErrorFile(m_errorFolder.filePath(QStringLiteral("stderr")));
    if (inChild) {
        m_process.setChildProcessModifier(inChild);
    }
    if (!workingFolder.isEmpty()) {
        m_process.setWorkingDirectory(workingFolder);
    }
    // Another build of the program can be put to the same journeys.
    const QString program = qEnvironmentVariableIsSet("MOBRIN_E2E_BINARY")
                                ? qEnvironmentVariable("MOBRIN_E2E_BINARY")
                                : QStringLiteral(MOBRIN_BINARY);
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(kWaitMs)) {
        m_problem = QStringLiteral("mobrin did not start");
        return;
    }
    m_root = Accessible::application(desktop.sessionBusAddress(), m_process.processId(), kWaitMs);
    if (!m_root) {
        m_problem = QStringLiteral("mobrin did not appear on the accessibility bus: ") + errors();
        return;
    }
    // The window manager gives the new window the focus (or a message box it opened at once);
    // input goes there from now on.
    const bool shown = waitFor([this] {
        if (!mainWindow()) {
            return false;
        }
        for (const Accessible& window : m_root->children()) {
            if (window.isActive()) {
                return true;
            }
        }
        return false;
    });
    if (!shown) {
        m_problem = QStringLiteral("mobrin's window did not come up with the focus");
    }
}

RunningMobrin::~RunningMobrin() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString RunningMobrin::errors() {
    QFile file(m_errorFolder.filePath(QStringLiteral("stderr")));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

QString RunningMobrin::sanitizerReport() {
    for (const QString& line : errors().split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String("Sanitizer")) ||
            line.contains(QLatin1String("runtime error:"))) {
            return line;
        }
    }
    return {};
}

void RunningMobrin::endJourney() {
    if (QTest::currentTestFailed() || !sanitizerReport().isEmpty()) {
        const QString shot = QDir::temp().filePath(
            QStringLiteral("mobrin-e2e-%1.png").arg(QLatin1String(QTest::currentTestFunction())));
        m_desktop.screenshot(shot);
        qWarning("screen: %s\nstderr: %s", qPrintable(shot), qPrintable(errors()));
    }
    QVERIFY2(sanitizerReport().isEmpty(), qPrintable(sanitizerReport()));
}

std::optional<Accessible> RunningMobrin::mainWindow() const {
    if (!m_root) {
        return std::nullopt;
    }
    for (const Accessible& window : m_root->children()) {
        if (window.name().startsWith(QLatin1String("Mobrin"))) {
            return window;
        }
    }
    return std::nullopt;
}

QString RunningMobrin::caption() const {
    const std::optional<Accessible> window = mainWindow();
    return window ? window->name() : QString();
}

std::optional<Accessible> RunningMobrin::widget(const QString& name) const {
    const std::optional<Accessible> window = mainWindow();
    if (!window) {
        return std::nullopt;
    }
    if (std::optional<Accessible> named =
            window->find([&](const Accessible& object) { return object.name() == name; })) {
        return named;
    }
    return window->find([&](const Accessible& object) { return object.description() == name; });
}

QString RunningMobrin::textOf(const QString& name) const {
    const std::optional<Accessible> object = widget(name);
    return object ? object->text() : QString();
}

int RunningMobrin::questionsShowing(const QString& text) const {
    if (!m_root) {
        return 0;
    }
    return int(m_root
                   ->findAll([&](const Accessible& object) {
                       return object.name() == text && object.roleName() == QLatin1String("label");
                   })
                   .size());
}

bool RunningMobrin::answer(const QString& text, const QString& button) {
    std::optional<Accessible> target;
    const bool asked = waitFor([&] {
        for (const Accessible& window : m_root->children()) {
            if (window.find([&](const Accessible& object) { return object.name() == text; })) {
                target = window.find([&](const Accessible& object) {
                    return object.name() == button &&
                           object.roleName() == QLatin1String("push button");
                });
                return target.has_value();
            }
        }
        return false;
    });
    return asked && click(*target);
}

std::optional<Accessible> RunningMobrin::fileDialogNameBox() const {
    std::optional<Accessible> box;
    waitFor([&] {
        for (const Accessible& window : m_root->children()) {
            box = window.find([](const Accessible& object) {
                return object.name() == QLatin1String("File name:") &&
                       object.roleName() == QLatin1String("text");
            });
            if (box && box->isFocused()) {
                return true;
            }
        }
        return false;
    });
    return box;
}

std::optional<Accessible> RunningMobrin::window(const QString& caption) const {
    if (!m_root) {
        return std::nullopt;
    }
    for (const Accessible& window : m_root->children()) {
        if (window.name().startsWith(caption)) {
            return window;
        }
    }
    return std::nullopt;
}

bool RunningMobrin::waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

bool RunningMobrin::click(const Accessible& target, int clicks) const {
    return clickAt(target.extents().center(), clicks);
}

bool RunningMobrin::clickAt(const QPoint& centre, int clicks) const {
    // No --sync: it would wait forever for a move when the pointer is already there.
    return m_desktop.xdotool(
        {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
         QStringLiteral("sleep"), QStringLiteral("0.1"), QStringLiteral("click"),
         QStringLiteral("--repeat"), QString::number(clicks), QStringLiteral("--delay"),
         QStringLiteral("80"), QStringLiteral("1")});
}

bool RunningMobrin::key(const QString& keys) const {
    QStringList arguments{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")};
    arguments += keys.split(QLatin1Char(' '));
    return m_desktop.xdotool(arguments);
}

bool RunningMobrin::type(const QString& text) const {
    return m_desktop.xdotool(
        {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), text});
}

bool RunningMobrin::goTo(const QString& place) const {
    return key(QStringLiteral("ctrl+g")) &&
           waitFor([&] { return window(QStringLiteral("Go to")).has_value(); }) && type(place) &&
           key(QStringLiteral("Return"));
}

bool RunningMobrin::terminate() {
    m_process.terminate();
    return m_process.waitForFinished(kWaitMs);
}

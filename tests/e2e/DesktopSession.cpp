// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopSession.h"

#include <QDir>
#include <QStandardPaths>

namespace {

constexpr int kStartTimeoutMs = 30000;

// Reads one line that a starting program writes to `process`'s standard output.
QString firstLine(QProcess& process) {
    QByteArray line;
    while (!line.contains('\n') && process.state() != QProcess::NotRunning &&
           process.waitForReadyRead(kStartTimeoutMs)) {
        line += process.readAllStandardOutput();
    }
    return QString::fromLocal8Bit(line).section(QLatin1Char('\n'), 0, 0).trimmed();
}

// Whether a starting program writes `line` on its standard output, among other lines.
bool writesLine(QProcess& process, const QByteArray& line) {
    QByteArray output;
    while (!output.split('\n').contains(line) && process.state() != QProcess::NotRunning &&
           process.waitForReadyRead(kStartTimeoutMs)) {
        output += process.readAllStandardOutput();
    }
    return output.split('\n').contains(line);
}

} // namespace

DesktopSession::DesktopSession() {
    for (const char* program : {"Xvfb", "openbox", "dbus-daemon", "xdotool"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty()) {
            m_problem = QStringLiteral("%1 is not installed").arg(QLatin1String(program));
            return;
        }
    }
    // Nothing of the developer's own desktop, home folder or settings leaks in.
    QDir(m_home.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    m_environment.insert(QStringLiteral("HOME"), m_home.path());
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                         m_home.filePath(QStringLiteral("runtime")));
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                         m_home.filePath(QStringLiteral("config")));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"),
                         m_home.filePath(QStringLiteral("cache")));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
    m_environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    m_environment.insert(QStringLiteral("TMPDIR"), QDir::tempPath());
    for (const char* kept : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "FONTCONFIG_FILE"}) {
        if (qEnvironmentVariableIsSet(kept)) {
            m_environment.insert(QLatin1String(kept), qEnvironmentVariable(kept));
        }
    }
    if (startServer() && startBus()) {
        startWindowManager();
    }
}

DesktopSession::~DesktopSession() {
    // The window manager and the bus first, the X server last.
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(3000)) {
            (*it)->kill();
            (*it)->waitForFinished(3000);
        }
    }
}

bool DesktopSession::startServer() {
    auto server = std::make_unique<QProcess>();
    server->setProcessEnvironment(m_environment);
    server->setProcessChannelMode(QProcess::SeparateChannels);
    // -displayfd picks a free display and names it once the server accepts connections.
    server->start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                   QStringLiteral("tcp"), QStringLiteral("-dpi"), QStringLiteral("96")});
    const QString display = firstLine(*server);
    m_processes.push_back(std::move(server));
    if (display.isEmpty()) {
        m_problem = QStringLiteral("Xvfb did not start");
        return false;
    }
    m_environment.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + display);
    return true;
}

bool DesktopSession::startBus() {
    auto bus = std::make_unique<QProcess>();
    bus->setProcessEnvironment(m_environment);
    bus->start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address=1")});
    m_busAddress = firstLine(*bus);
    m_processes.push_back(std::move(bus));
    if (m_busAddress.isEmpty()) {
        m_problem = QStringLiteral("the session bus did not start");
        return false;
    }
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    return true;
}

bool DesktopSession::startWindowManager() {
    auto manager = std::make_unique<QProcess>();
    manager->setProcessEnvironment(m_environment);
    // It complains about Debian's menu file, which this desktop does not need.
    manager->setStandardErrorFile(QProcess::nullDevice());
    // Windows started before openbox manages the screen would go unmanaged; once it does, it
    // runs its startup command, which says so.
    manager->start(QStringLiteral("openbox"),
                   {QStringLiteral("--sm-disable"), QStringLiteral("--startup"),
                    QStringLiteral("echo managing")});
    const bool managing = writesLine(*manager, "managing");
    m_processes.push_back(std::move(manager));
    if (!managing) {
        m_problem = QStringLiteral("openbox did not start");
    }
    return managing;
}

bool DesktopSession::xdotool(const QStringList& arguments) const {
    QProcess tool;
    tool.setProcessEnvironment(m_environment);
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

bool DesktopSession::screenshot(const QString& path) const {
    QProcess tool;
    tool.setProcessEnvironment(m_environment);
    tool.start(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    return tool.waitForFinished(10000) && tool.exitCode() == 0;
}

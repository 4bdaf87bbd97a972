// SPDX-License-Identifier: GPL-3.0-or-later
#include "DragSource.h"

#include "DesktopSession.h"
#include "RunningMobrin.h"

#include <QElapsedTimer>

namespace {

constexpr int kSteps = 12;

} // namespace

DragSource::DragSource(const DesktopSession& desktop, const QString& file) : m_desktop(desktop) {
    QProcessEnvironment environment = desktop.environment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    m_process.setProcessEnvironment(environment);
    m_process.start(QStringLiteral(MOBRIN_DRAG_SOURCE), {file});
    const QString ready = readLine();
    if (!ready.startsWith(QLatin1String("ready "))) {
        m_problem = QStringLiteral("the drag source did not come up: ") +
                    QString::fromLocal8Bit(m_process.readAllStandardError());
        return;
    }
    m_centre = QPoint(ready.section(QLatin1Char(' '), 1, 1).toInt(),
                      ready.section(QLatin1Char(' '), 2, 2).toInt());
}

DragSource::~DragSource() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString DragSource::readLine() {
    QElapsedTimer clock;
    clock.start();
    while (!m_process.canReadLine() && m_process.state() != QProcess::NotRunning &&
           clock.elapsed() < RunningMobrin::kWaitMs) {
        m_process.waitForReadyRead(100);
    }
    return m_process.canReadLine() ? QString::fromLocal8Bit(m_process.readLine()).trimmed()
                                   : QString();
}

bool DragSource::dragTo(QPoint target) {
    // The source starts its drag on the press; a drop target learns of the drag only from
    // the moves that follow, so the pointer travels there in steps, as a hand would move it.
    QStringList arguments{
        QStringLiteral("mousemove"), QString::number(m_centre.x()), QString::number(m_centre.y()),
        QStringLiteral("sleep"),     QStringLiteral("0.2"),         QStringLiteral("mousedown"),
        QStringLiteral("1"),         QStringLiteral("sleep"),       QStringLiteral("0.3")};
    for (int step = 1; step <= kSteps; ++step) {
        const QPoint at = m_centre + (target - m_centre) * step / kSteps;
        arguments << QStringLiteral("mousemove") << QString::number(at.x())
                  << QString::number(at.y()) << QStringLiteral("sleep") << QStringLiteral("0.05");
    }
    arguments << QStringLiteral("sleep") << QStringLiteral("0.3") << QStringLiteral("mouseup")
              << QStringLiteral("1");
    return m_desktop.xdotool(arguments);
}

QString DragSource::outcome() {
    return readLine();
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Launches the real program and the bare window as separate processes, alternately, and
// measures (a) the time from launch to the first exposed window, (c) idle CPU over 10 s as a
// share of one core from /proc/<pid>/task/*/schedstat, and (d) peak memory (VmHWM) from
// /proc/<pid>/status.
//   bench_launch MOBRIN BARE PROBE ADDIN [LAUNCHES]
// Run it on a display (bench/run starts Xvfb); prints Markdown table rows.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

constexpr int kSettleMs = 3000;
constexpr int kIdleSeconds = 10;

struct Program {
    QString path;
    QStringList arguments;
};

QProcessEnvironment probed(const QString& probe, const QStringList& settings) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), probe);
    for (const QString& setting : settings) {
        environment.insert(setting, QStringLiteral("1"));
    }
    return environment;
}

// Milliseconds from the start of the process to its exit at its first exposed window.
std::optional<double> launchToExpose(const Program& program, const QString& probe) {
    QProcess process;
    process.setProcessEnvironment(probed(probe, {QStringLiteral("MOBRIN_BENCH_EXIT_ON_EXPOSE")}));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program.path, program.arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// CPU time of a running process in nanoseconds: the sum over its threads of the time each
// spent on a CPU (/proc/<pid>/task/<tid>/schedstat), far finer than the clock ticks of
// /proc/<pid>/stat, which an idle window hardly ever reaches.
std::optional<long long> cpuNanoseconds(qint64 pid) {
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    const QStringList threads = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (threads.isEmpty()) {
        return std::nullopt;
    }
    long long total = 0;
    for (const QString& thread : threads) {
        QFile schedstat(tasks.filePath(thread + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly)) {
            total += schedstat.readAll().split(' ').value(0).toLongLong();
        }
    }
    return total;
}

std::optional<long long> peakKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return std::nullopt;
}

struct Idle {
    double coreShare = -1; // of one core, over kIdleSeconds
    long long peakKiB = -1;
};

// Starts the program, waits until its window is exposed and everything has settled, then
// samples its CPU time over kIdleSeconds and its peak memory.
Idle idle(const Program& program, const QString& probe, bool blink) {
    QStringList settings{QStringLiteral("MOBRIN_BENCH_SAY_EXPOSED")};
    if (!blink) {
        settings << QStringLiteral("MOBRIN_BENCH_NO_BLINK");
    }
    QProcess process;
    process.setProcessEnvironment(probed(probe, settings));
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program.path, program.arguments);
    Idle result;
    QElapsedTimer waited;
    waited.start();
    while (!process.readAllStandardOutput().contains("exposed")) {
        if (waited.elapsed() > 30000 || !process.waitForReadyRead(1000)) {
            if (process.state() != QProcess::Running || waited.elapsed() > 30000) {
                process.kill();
                process.waitForFinished();
                return result;
            }
        }
    }
    QThread::msleep(kSettleMs);
    const qint64 pid = process.processId();
    const auto before = cpuNanoseconds(pid);
    QThread::sleep(kIdleSeconds);
    const auto after = cpuNanoseconds(pid);
    const auto peak = peakKiB(pid);
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
    if (before && after) {
        result.coreShare = double(*after - *before) / 1e9 / double(kIdleSeconds);
    }
    result.peakKiB = peak.value_or(-1);
    return result;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: bench_launch MOBRIN BARE PROBE ADDIN [LAUNCHES]\n");
        return 2;
    }
    const Program mobrin{args[1], {}};
    const Program mobrinWithFile{args[1], {args[4]}};
    const Program bare{args[2], {}};
    const QString probe = args[3];
    const int launches = args.size() > 5 ? args[5].toInt() : 20;

    // (a) Alternating launches, after a few unmeasured ones to warm the file cache.
    std::vector<double> mobrinMs;
    std::vector<double> bareMs;
    for (int i = -3; i < launches; ++i) {
        const auto m = launchToExpose(mobrin, probe);
        const auto b = launchToExpose(bare, probe);
        if (!m || !b) {
            std::fprintf(stderr, "a launch failed (is there a display?)\n");
            return 1;
        }
        if (i >= 0) {
            mobrinMs.push_back(*m);
            bareMs.push_back(*b);
        }
    }
    const double ratio = median(mobrinMs) / median(bareMs);
    std::printf("| (a) start-up to first exposed window, median of %d | %.1f ms | %.1f ms | "
                "%.2f x | within 1.2 x |\n",
                launches, median(mobrinMs), median(bareMs), ratio);
    std::fflush(stdout);

    // (c) and (d): the real program with an add-in loaded, the bare window empty.
    const Idle mobrinBlink = idle(mobrinWithFile, probe, true);
    const Idle bareBlink = idle(bare, probe, true);
    const Idle mobrinSteady = idle(mobrinWithFile, probe, false);
    const Idle bareSteady = idle(bare, probe, false);
    std::printf("| (c) idle CPU over %d s, caret blinking | %.3f %% | %.3f %% | | no more than "
                "the bare window |\n",
                kIdleSeconds, 100 * mobrinBlink.coreShare, 100 * bareBlink.coreShare);
    std::printf("| (c) idle CPU over %d s, blinking off | %.3f %% | %.3f %% | | |\n", kIdleSeconds,
                100 * mobrinSteady.coreShare, 100 * bareSteady.coreShare);
    std::printf("| (d) peak memory (VmHWM), file loaded | %.1f MiB | %.1f MiB | %+.1f MiB | "
                "within 10 MiB |\n",
                double(mobrinBlink.peakKiB) / 1024, double(bareBlink.peakKiB) / 1024,
                double(mobrinBlink.peakKiB - bareBlink.peakKiB) / 1024);
    return 0;
}

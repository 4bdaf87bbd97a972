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
#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>
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

double monotonicMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One launch, in milliseconds: from the start of the process to its application object (the
// libraries loaded and set up), on to its first exposed window (the program's own set-up and
// first show), and to its exit there.
struct Launch {
    double toApplication = 0;
    double toExpose = 0;
    double total = 0;
};

std::optional<Launch> launchToExpose(const Program& program, const QString& probe) {
    QProcess process;
    process.setProcessEnvironment(probed(probe, {QStringLiteral("MOBRIN_BENCH_EXIT_ON_EXPOSE")}));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double started = monotonicMs();
    process.start(program.path, program.arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return std::nullopt;
    }
    const double ended = monotonicMs();
    const QList<QByteArray> phases = process.readAllStandardOutput().trimmed().split(' ');
    if (phases.size() != 3 || phases[0] != "phases") {
        return std::nullopt;
    }
    return Launch{phases[1].toDouble() - started, phases[2].toDouble() - phases[1].toDouble(),
                  ended - started};
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
    const Program bareWithFile{args[2], {args[4]}};
    const QString probe = args[3];
    const int launches = args.size() > 5 ? args[5].toInt() : 20;

    // (a) Alternating launches, after a few unmeasured ones to warm the file cache: both
    // programs empty, then both showing the 9000-byte add-in given on the command line.
    const std::pair<const Program*, const Program*> pairs[] = {{&mobrin, &bare},
                                                               {&mobrinWithFile, &bareWithFile}};
    const char* const labels[] = {"(a) start-up to first exposed window, median of %d",
                                  "(a) the same with a 9000-byte add-in given, median of %d"};
    for (int pair = 0; pair < 2; ++pair) {
        std::vector<Launch> mobrinRuns;
        std::vector<Launch> bareRuns;
        for (int i = -3; i < launches; ++i) {
            const auto m = launchToExpose(*pairs[pair].first, probe);
            const auto b = launchToExpose(*pairs[pair].second, probe);
            if (!m || !b) {
                std::fprintf(stderr, "a launch failed (is there a display?)\n");
                return 1;
            }
            if (i >= 0) {
                mobrinRuns.push_back(*m);
                bareRuns.push_back(*b);
            }
        }
        const auto medianOf = [](const std::vector<Launch>& runs, double Launch::*part) {
            std::vector<double> values;
            for (const Launch& run : runs) {
                values.push_back(run.*part);
            }
            return median(values);
        };
        const double mobrinTotal = medianOf(mobrinRuns, &Launch::total);
        const double bareTotal = medianOf(bareRuns, &Launch::total);
        std::printf("| ");
        std::printf(labels[pair], launches);
        std::printf(" | %.1f ms | %.1f ms | %.2f x | within 1.1 x |\n", mobrinTotal, bareTotal,
                    mobrinTotal / bareTotal);
        std::printf("|   launch to the application object (libraries, static set-up) | %.1f ms | "
                    "%.1f ms | %+.1f ms | |\n",
                    medianOf(mobrinRuns, &Launch::toApplication),
                    medianOf(bareRuns, &Launch::toApplication),
                    medianOf(mobrinRuns, &Launch::toApplication) -
                        medianOf(bareRuns, &Launch::toApplication));
        std::printf("|   application object to first exposed window (window, fonts, first show) "
                    "| %.1f ms | %.1f ms | %+.1f ms | |\n",
                    medianOf(mobrinRuns, &Launch::toExpose), medianOf(bareRuns, &Launch::toExpose),
                    medianOf(mobrinRuns, &Launch::toExpose) -
                        medianOf(bareRuns, &Launch::toExpose));
        std::fflush(stdout);
    }

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

// SPDX-License-Identifier: GPL-3.0-or-later
// The real mobrin program as a process, offscreen: a file-size limit does not end it (the dump's
// temporary files then fail like any other write, and the window says so), and SIGTERM, SIGINT
// or SIGHUP end it through its event loop, leaving no temporary folder behind.
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The program's own temporary folders ("Mobrin-XXXXXX") in `folder`, and what they hold.
QStringList temporaryFiles(const QString& folder) {
    QStringList found;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("Mobrin-*")}, QDir::Dirs)) {
        found << name;
        for (const QString& file : QDir(dir.filePath(name)).entryList(QDir::Files)) {
            found << name + QLatin1Char('/') + file;
        }
    }
    return found;
}

// Whether the child ends within `ms` milliseconds; reaps it into `status` when it has ended.
bool endsWithin(pid_t child, int& status, int ms) {
    pollfd ended{int(::syscall(SYS_pidfd_open, child, 0)), POLLIN, 0};
    const bool done = ended.fd >= 0 && ::poll(&ended, 1, ms) > 0;
    if (ended.fd >= 0) {
        ::close(ended.fd);
    }
    return done && ::waitpid(child, &status, 0) == child;
}

} // namespace

class WindowProcess : public QObject {
    Q_OBJECT

private slots:
    void signalsEndIt_data();
    void signalsEndIt();
};

void WindowProcess::signalsEndIt_data() {
    QTest::addColumn<int>("limitBlocks"); // ulimit -f, in 512-byte blocks; 0: none
    QTest::addColumn<int>("signal");

    QTest::newRow("SIGTERM") << 0 << SIGTERM;
    QTest::newRow("SIGHUP") << 0 << SIGHUP;
    QTest::newRow("ulimit -f 23, then SIGTERM") << 23 << SIGTERM;
    QTest::newRow("ulimit -f 23, then SIGINT") << 23 << SIGINT;
}

void WindowProcess::signalsEndIt() {
    QFETCH(int, limitBlocks);
    QFETCH(int, signal);

#ifndef MOBRIN_BINARY
    QSKIP("the mobrin program is not built");
#else
    const QString sample = qEnvironmentVariable("MOBRIN_SAMPLES") + QStringLiteral("/clock.rex");
    if (!QFileInfo::exists(sample)) {
        QSKIP("the sample add-ins are not there (MOBRIN_SAMPLES)");
    }
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QByteArray tmp = QFile::encodeName(scratch.path());
    const QByteArray runtime = tmp + "/runtime";
    QVERIFY(QDir().mkdir(QFile::decodeName(runtime)));
    QVERIFY(QFile::setPermissions(QFile::decodeName(runtime),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray file = QFile::encodeName(sample);

    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child == 0) {
        // As a shell would start it: default signal actions (SIGXFSZ included), the limit set.
        for (int number = 1; number < NSIG; ++number) {
            std::signal(number, SIG_DFL);
        }
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        if (limitBlocks > 0) {
            const rlimit limit{rlim_t(limitBlocks) * 512, rlim_t(limitBlocks) * 512};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::setenv("TMPDIR", tmp.constData(), 1);
        ::setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDOUT_FILENO);
        ::dup2(quiet, STDERR_FILENO);
        ::execl(MOBRIN_BINARY, "mobrin", file.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    QVERIFY(child > 0);

    // Up once the hex dump's temporary file exists; then it must stay up, whether its write
    // went through or was cut short by the limit.
    int status = 0;
    bool up = false;
    bool ended = false;
    QElapsedTimer clock;
    clock.start();
    while (!up && !ended && clock.elapsed() < 20000) {
        ended = endsWithin(child, status, 20);
        up = temporaryFiles(scratch.path()).join(' ').contains(QStringLiteral("~HEXtmp"));
    }
    const bool alive = !ended && !endsWithin(child, status, up ? 500 : 0);
    if (!alive || !up) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
    }
    QVERIFY2(alive, WIFSIGNALED(status)
                        ? qPrintable(QStringLiteral("ended by signal %1").arg(WTERMSIG(status)))
                        : "ended");
    QVERIFY2(up, "no temporary dump file appeared");

    QCOMPARE(::kill(child, signal), 0);
    if (!endsWithin(child, status, 20000)) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        QFAIL("the signal did not end the program");
    }
    // Ended by the signal itself, as the sender expects, after the cleanup.
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), signal);
    QCOMPARE(temporaryFiles(scratch.path()), QStringList());
#endif
}

QTEST_GUILESS_MAIN(WindowProcess)
#include "tst_window_process.moc"

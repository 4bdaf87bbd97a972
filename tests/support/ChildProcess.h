// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

// Work done in a forked child process: as another user (which needs root), or to be stopped
// at any moment without taking the test with it. The child ends with _exit, so it never runs
// the parent's destructors (which would remove the parent's test files).
namespace ChildProcess {

struct User {
    uid_t uid = 0;
    gid_t gid = 0;
    std::vector<gid_t> groups; // supplementary groups
};

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Runs `work` in a child that has become `user` (when given; that needs root), and returns
// what `work` returned. Nothing when the child could not be made or did not finish.
inline std::optional<QByteArray> run(const std::function<QByteArray()>& work,
                                     const std::optional<User>& user = std::nullopt) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return std::nullopt;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(channel[0]);
        if (user && (::setgroups(user->groups.size(), user->groups.data()) != 0 ||
                     ::setgid(user->gid) != 0 || ::setuid(user->uid) != 0)) {
            ::_exit(3);
        }
        const QByteArray result = work();
        qsizetype done = 0;
        while (done < result.size()) {
            const ssize_t written =
                ::write(channel[1], result.constData() + done, size_t(result.size() - done));
            if (written <= 0) {
                ::_exit(4);
            }
            done += written;
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray result;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(channel[0], buffer, sizeof buffer)) > 0) {
        result.append(buffer, got);
    }
    ::close(channel[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return result;
}

// Starts `work` in a child with the default action for every signal, and returns its id.
// Signals stay blocked across the fork until the child has dropped the parent's handlers, so a
// signal sent at once never runs the test framework's handler in the child.
inline pid_t start(const std::function<void()>& work) {
    sigset_t all;
    sigset_t old;
    sigfillset(&all);
    ::sigprocmask(SIG_SETMASK, &all, &old);
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = ::fork();
    if (child == 0) {
        for (int signal = 1; signal < NSIG; ++signal) {
            std::signal(signal, SIG_DFL);
        }
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        work();
        ::_exit(0);
    }
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
    return child;
}

} // namespace ChildProcess

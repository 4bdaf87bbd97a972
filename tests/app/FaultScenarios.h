#pragma once

// Ways to make file operations fail for real, also when the tests run as root (as they do in
// CI), where permission bits alone stop nothing.

#include "FileSizeLimit.h"
#include <QByteArray>
#include <QFile>
#include <QString>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace FaultScenarios {

constexpr uid_t kNobody = 65534;

inline bool runningAsRoot() {
    return ::geteuid() == 0;
}

// Runs `work` in a forked child that has become the user nobody (when the tests run as root;
// otherwise the child keeps the tests' own user, whom the same permission bits stop), and
// returns what `work` returned. Nothing when the child could not be made or did not finish.
// The child ends with _exit: it never runs the parent's destructors, which would remove the
// parent's test files.
inline std::optional<QByteArray> runAsNobody(const std::function<QByteArray()>& work) {
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
        if (runningAsRoot() &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
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

// Sets the permission bits of `path`, and when running as root gives it to `owner` (-1 keeps
// the owner), so that the user nobody meets exactly these bits.
inline bool setAccess(const QString& path, mode_t mode, int owner = -1) {
    const QByteArray name = QFile::encodeName(path);
    if (owner >= 0 && runningAsRoot() && ::chown(name.constData(), uid_t(owner), gid_t(owner))) {
        return false;
    }
    return ::chmod(name.constData(), mode) == 0;
}

} // namespace FaultScenarios

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Ways to make file operations fail for real, also when the tests run as root (as they do in
// CI), where permission bits alone stop nothing.

#include "ChildProcess.h"
#include "FileSizeLimit.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace FaultScenarios {

constexpr uid_t kNobody = 65534;

using ChildProcess::runningAsRoot;

// Runs `work` in a forked child that has become the user nobody (when the tests run as root;
// otherwise the child keeps the tests' own user, whom the same permission bits stop), and
// returns what `work` returned. Nothing when the child could not be made or did not finish.
inline std::optional<QByteArray> runAsNobody(const std::function<QByteArray()>& work) {
    if (!runningAsRoot()) {
        return ChildProcess::run(work);
    }
    return ChildProcess::run(work, ChildProcess::User{kNobody, kNobody, {}});
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

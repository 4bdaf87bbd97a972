// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunAnswersFiles.h"

#include "AppTitle.h"
#include "CommandTexts.h"
#include "RegularFile.h"
#include "SideFile.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace {

QString besideAddin(const QString& addinPath) {
    return SideFile::besideAddin(addinPath, QStringLiteral(".answers"));
}

} // namespace

RunAnswersFiles::RunAnswersFiles(Prompts& prompts) : m_prompts(prompts), m_choice(prompts) {}

std::vector<Prompts::FileFilter> RunAnswersFiles::filters() {
    return {
        {QStringLiteral("Answers to system calls (*.answers)"), {QStringLiteral("*.answers")}},
        FileChoice::allFiles(),
    };
}

void RunAnswersFiles::tell(const QString& text) {
    m_prompts.tell(text, appTitle());
}

bool RunAnswersFiles::save(const QList<SystemCallAnswer>& answers, const QString& addinPath) {
    const std::optional<QString> path =
        m_choice.chooseToSave(QStringLiteral("Save answers"), filters(), besideAddin(addinPath));
    if (!path || path->isEmpty()) {
        return false;
    }
    AnswersFile file;
    for (const SystemCallAnswer& answer : answers) {
        file.append(answer);
    }
    const QString problem =
        SideFile::write(*path, file.text(), addinPath, QStringLiteral("The answers"));
    if (!problem.isEmpty()) {
        tell(problem);
    }
    return problem.isEmpty();
}

std::optional<AnswersFile> RunAnswersFiles::choose(const QString& addinPath) {
    const std::optional<QString> path =
        m_choice.chooseToOpen(QStringLiteral("Replay answers"), filters(), besideAddin(addinPath));
    if (!path || path->isEmpty()) {
        return std::nullopt;
    }
    // Opened without blocking and only as a regular file: a FIFO would never end.
    const RegularFile file(*path, O_RDONLY);
    int error = file.isOpen() ? 0 : errno;
    const qint64 size = file.isOpen() ? file.currentSize() : -1;
    if (size > kMaxSize) {
        tell(QStringLiteral("%1 is larger than 1 MiB: it is no answers file. Nothing was replayed.")
                 .arg(QFileInfo(*path).fileName()));
        return std::nullopt;
    }
    QByteArray text(qMax<qint64>(size, 0), '\0');
    if (size < 0 || !RegularFile::readAll(file.fd(), text.data(), size, 0)) {
        error = error != 0 ? error : errno;
        tell(CommandTexts::withReason(QStringLiteral("%1 cannot be read. Nothing was replayed.")
                                          .arg(QFileInfo(*path).fileName()),
                                      error != 0 ? QString::fromLocal8Bit(std::strerror(error))
                                                 : QString()));
        return std::nullopt;
    }
    QStringList errors;
    AnswersFile answers = AnswersFile::parse(text, errors);
    if (!errors.isEmpty()) {
        tell(QStringLiteral("%1 holds lines that are no answers, so nothing was replayed:\n%2")
                 .arg(QFileInfo(*path).fileName(), errors.join(QLatin1Char('\n'))));
        return std::nullopt;
    }
    return answers;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// mobrin-cli's diff and check on whole add-ins, as a Makefile runs them: the work of one command
// inside the process (reading the files, comparing or checking, writing the text or JSON to
// /dev/null), without starting the process. Prints Markdown table rows.
//   bench_cli ADDIN [MORE_ADDINS...]
#include "CheckCommand.h"
#include "DiffCommand.h"
#include "Timing.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

using Timing::row;
using Timing::timed;

volatile int sink = 0; // keeps the optimiser from dropping a result nobody reads

// The same file with a new name and every other byte after the header changed: two builds that
// differ almost everywhere, the most runs a comparison can have.
QByteArray changedCopy(const QByteArray& bytes) {
    QByteArray copy = bytes;
    copy.replace(23, 5, "Other");
    for (qsizetype offset = 300; offset < copy.size(); offset += 2) {
        copy[offset] = char(~copy[offset]);
    }
    return copy;
}

// The output goes where a Makefile's would, to a file: /dev/null, which takes it as fast as a
// file takes it.
int run(int (*command)(const QStringList&, std::ostream&, std::ostream&),
        const QStringList& arguments) {
    std::ofstream out("/dev/null");
    std::ostringstream err;
    return command(arguments, out, err);
}

void benchmark(const QString& path, const QString& copyPath) {
    const QString name = QFileInfo(path).fileName();
    const QStringList diff{path, copyPath};
    const qsizetype runs = QString::fromStdString([&] {
                               std::ostringstream out;
                               std::ostringstream err;
                               DiffCommand::run(diff, out, err);
                               return out.str();
                           }())
                               .count(QLatin1Char('\n'));
    for (const bool json : {false, true}) {
        const QStringList arguments = json ? diff + QStringList{QStringLiteral("--json")} : diff;
        row(QStringLiteral("diff%1 of %2 with a copy, every other byte changed: %3 lines")
                .arg(json ? QStringLiteral(" --json") : QString(), name)
                .arg(runs),
            timed([&] { sink = run(DiffCommand::run, arguments); }), "under 5 ms");
    }
    row(QStringLiteral("check of %1").arg(name),
        timed([&] { sink = run(CheckCommand::run, {path}); }), "under 1 ms");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_cli ADDIN [MORE_ADDINS...]\n");
        return 2;
    }
    QTemporaryDir folder;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QFile file(path);
        QFile copy(folder.filePath(QStringLiteral("copy%1.rex").arg(i)));
        if (!file.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly) ||
            copy.write(changedCopy(file.readAll())) < 0 || !copy.flush()) {
            std::fprintf(stderr, "cannot read %s or write its copy\n", argv[i]);
            return 1;
        }
        benchmark(path, copy.fileName());
    }
    return 0;
}

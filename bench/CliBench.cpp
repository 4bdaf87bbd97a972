// SPDX-License-Identifier: GPL-3.0-or-later
// mobrin-cli's diff and check on whole add-ins, as a Makefile runs them: the work of one command
// inside the process (reading the files, comparing or checking, writing the text or JSON to
// /dev/null), without starting the process. Prints Markdown table rows. diff runs by structure,
// by position (--by-position) and on two files that are not add-ins (their signature broken),
// which diff compares by position too.
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

// The same bytes with the first one changed: no "ApplicationName:" signature, so no add-in.
QByteArray withoutSignature(const QByteArray& bytes) {
    QByteArray broken = bytes;
    broken[0] = 'a';
    return broken;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// The output goes where a Makefile's would, to a file: /dev/null, which takes it as fast as a
// file takes it.
int run(int (*command)(const QStringList&, std::ostream&, std::ostream&),
        const QStringList& arguments) {
    std::ofstream out("/dev/null");
    std::ostringstream err;
    return command(arguments, out, err);
}

qsizetype lineCount(const QStringList& diff) {
    std::ostringstream out;
    std::ostringstream err;
    DiffCommand::run(diff, out, err);
    return QString::fromStdString(out.str()).count(QLatin1Char('\n'));
}

// `files`: the add-in, its changed copy, and both without their signature.
void benchmark(const QStringList& files) {
    const QString name = QFileInfo(files[0]).fileName();
    const QStringList diff{files[0], files[1]};
    const qsizetype runs = lineCount(diff);
    const qsizetype positionRuns = lineCount(diff + QStringList{QStringLiteral("--by-position")});
    for (const bool json : {false, true}) {
        const QStringList arguments = json ? diff + QStringList{QStringLiteral("--json")} : diff;
        row(QStringLiteral("diff%1 of %2 with a copy, every other byte changed: %3 lines")
                .arg(json ? QStringLiteral(" --json") : QString(), name)
                .arg(runs),
            timed([&] { sink = run(DiffCommand::run, arguments); }), "under 5 ms");
    }
    const QStringList cases[] = {
        diff + QStringList{QStringLiteral("--by-position"), QStringLiteral("--json")},
        {files[2], files[3], QStringLiteral("--json")},
    };
    const QString what[] = {
        QStringLiteral("diff --by-position --json of %1 with the same copy: %2 lines"),
        QStringLiteral("diff --json of %1 and the copy, signatures broken (no add-ins): %2 lines"),
    };
    for (int i = 0; i < 2; ++i) {
        row(what[i].arg(name).arg(positionRuns),
            timed([&] { sink = run(DiffCommand::run, cases[i]); }), "under 5 ms");
    }
    row(QStringLiteral("check of %1").arg(name),
        timed([&] { sink = run(CheckCommand::run, {files[0]}); }), "under 1 ms");
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
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const QByteArray bytes = file.readAll();
        const QByteArray copy = changedCopy(bytes);
        const QStringList files{path, folder.filePath(QStringLiteral("copy%1.rex").arg(i)),
                                folder.filePath(QStringLiteral("plain%1.bin").arg(i)),
                                folder.filePath(QStringLiteral("plain-copy%1.bin").arg(i))};
        if (!write(files[1], copy) || !write(files[2], withoutSignature(bytes)) ||
            !write(files[3], withoutSignature(copy))) {
            std::fprintf(stderr, "cannot write the copies of %s\n", argv[i]);
            return 1;
        }
        benchmark(files);
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CliMain.h"

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTest>

#include <sstream>

// One run of mobrin-cli in-process, with everything it printed.
struct CliRun {
    int code = -1;
    QByteArray out;
    QByteArray err;

    explicit CliRun(const QStringList& arguments) {
        std::ostringstream outStream;
        std::ostringstream errStream;
        code = CliMain::run(arguments, outStream, errStream);
        out = QByteArray::fromStdString(outStream.str());
        err = QByteArray::fromStdString(errStream.str());
    }

    // An error is exactly one line on stderr, naming the program.
    bool oneErrorLine() const {
        return err.startsWith("mobrin-cli: ") && err.endsWith('\n') && err.count('\n') == 1;
    }
};

// The built mobrin-cli, run as a program with `arguments`, answers exactly as the in-process
// run does: same exit code, same output, same error lines.
inline void compareWithProgram(const QStringList& arguments) {
    QProcess program;
    program.start(QStringLiteral(MOBRIN_BUILD_DIR "/cli/mobrin-cli"), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    const CliRun inProcess(arguments);
    QCOMPARE(program.exitCode(), inProcess.code);
    QCOMPARE(program.readAllStandardOutput(), inProcess.out);
    QCOMPARE(program.readAllStandardError(), inProcess.err);
}

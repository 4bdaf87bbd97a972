// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRun.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

class CliRunCommand : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void runs_data();
    void runs();
    void helloReport();
    void traceAndJson();
    void refused_data();
    void refused();

private:
    TestFiles m_files;
};

// The examples as add-ins, built as their Makefile builds them; code running past $9FFF.
void CliRunCommand::initTestCase() {
    m_files.write("long.bin", QByteArray::fromHex("3E00").repeated(4250) + "\x76");
    for (const QString name : {"hello", "bare-ret", "mishaps", "long"}) {
        const QString code =
            name == "long" ? m_files.path("long.bin") : m_files.assembleExample(name);
        QVERIFY(!code.isEmpty());
        QCOMPARE(
            CliRun({"build", "--code", code, "--name", name, "-o", m_files.path(name + ".rex")})
                .code,
            0);
    }
}

void CliRunCommand::runs_data() {
    QTest::addColumn<QString>("addin");
    QTest::addColumn<QByteArray>("answers"); // the answers file; none when empty
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArrayList>("lines"); // how lines of the output start, in order

    QTest::newRow("returned from the entry")
        << "bare-ret" << QByteArray() << QStringList() << 7
        << QByteArrayList{"stop: The add-in returned from its entry point at $800E",
                          "memory written: none"};
    const QByteArray mishapCall = "call at $8006: $002A DS_EVENT_MESSAGE_GET; arguments $0000, "
                                  "$0000, $0000, $0000, $0000, $0000; ";
    QTest::newRow("no mishap, a fill")
        << "mishaps" << QByteArray("# none\n$002A 0 $F001=0900") << QStringList() << 0
        << QByteArrayList{mishapCall + "answer $0000, $F001=0900 (answers line 2)",
                          "memory written: $C000-$F000"};
    QTest::newRow("a write into the code")
        << "mishaps" << QByteArray("$002A 1") << QStringList() << 7
        << QByteArrayList{mishapCall + "answer $0001 (answers line 1)",
                          "stop: The instruction at $8027 wrote $01 to $8000, into",
                          "writes into the code: 1, the first to $8000 by the instruction at "
                          "$8027 (the code keeps its bytes)"};
    QTest::newRow("--max-steps") << "hello" << QByteArray() << QStringList{"--max-steps", "10"} << 7
                                 << QByteArrayList{
                                        "stop: The run used its budget of 10 instructions; it "
                                        "stands at $8007.",
                                        "instructions: 10", "t-states: 68"};
    QTest::newRow("code past $9FFF")
        << "long" << QByteArray() << QStringList() << 7
        << QByteArrayList{"note: The code runs on to $A134; the handheld maps only $8000-$9FFF "
                          "to an add-in, so the run loads the rest as it is.",
                          "stop: The add-in halts at $A134"};
    if (QFileInfo::exists(qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex")) {
        QTest::newRow("tafl.rex, into its first system call")
            << "tafl" << QByteArray() << QStringList{"--max-steps", "1000"} << 7
            << QByteArrayList{"call at $9EE0: $0030 DS_EVENT_CLEAR; arguments $0000, $0000, "
                              "$0000, $0000, $0000, $0000; answer $0000 (none given: the "
                              "default)"};
    }
}

void CliRunCommand::runs() {
    QFETCH(QString, addin);
    QFETCH(QByteArray, answers);
    QFETCH(QStringList, options);
    QFETCH(int, code);
    QFETCH(QByteArrayList, lines);
    QStringList arguments{"run", addin == "tafl"
                                     ? qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + "/tafl.rex"
                                     : m_files.path(addin + ".rex")};
    if (!answers.isEmpty()) {
        arguments << "--answers" << m_files.write("calls.answers", answers);
    }
    const CliRun run(arguments + options);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.code, code);
    const QByteArray out = '\n' + run.out;
    qsizetype at = 0;
    for (const QByteArray& line : lines) {
        at = out.indexOf('\n' + line, at);
        QVERIFY2(at >= 0, run.out.constData());
    }
}

// The README's figures: hello.rex's calls in order, its way out and the summary.
void CliRunCommand::helloReport() {
    const QStringList arguments{"run", m_files.path("hello.rex")};
    QCOMPARE(CliRun(arguments).out,
             "call at $8028: $0066 DS_TEXT_OUT; arguments $0000, $0000, $8030 \"Hello, REX\", "
             "$000A, $0000, $0000; answer $0000 (none given: the default)\n"
             "call at $802F: $0042 DS_ADDIN_TERMINATE; arguments $0000, $0000, $8030 \"Hello, "
             "REX\", $000A, $0000, $0000; the add-in ends\n"
             "stop: The add-in left through system call $0042 DS_ADDIN_TERMINATE at $802F.\n"
             "instructions: 78\n"
             "t-states: 598\n"
             "lowest stack address: $FFFE\n"
             "memory written: $C000-$C009\n"
             "writes into the code: none\n"
             "port accesses: 0\n");
    compareWithProgram(arguments);
    compareWithProgram({"run", m_files.path("bare-ret.rex")});
}

void CliRunCommand::traceAndJson() {
    const CliRun trace({"run", m_files.path("hello.rex"), "--trace"});
    QVERIFY(trace.out.startsWith("8000  21 30 80     ld hl,$8030\n"
                                 "8003  06 00        ld b,$00\n"));
    // A line for each instruction, the answered call's included, and the last `rst $10`.
    QCOMPARE(trace.out.count("\n80") + 1, 79);

    const CliRun json({"run", m_files.path("hello.rex"), "--json", "--trace"});
    const QJsonObject report = QJsonDocument::fromJson(json.out).object();
    const QJsonArray calls = report["calls"].toArray();
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls[0]["name"].toString(), "DS_TEXT_OUT");
    QCOMPARE(calls[0]["texts"].toArray()[2].toString(), "Hello, REX");
    QVERIFY(calls[0]["texts"].toArray()[0].isNull());
    QCOMPARE(calls[0]["answer"]["default"].toBool(), true);
    QVERIFY(calls[1]["answer"].isNull());
    QCOMPARE(report["stop"]["kind"].toString(), "terminated");
    QCOMPARE(report["instructions"].toInt(), 78);
    QCOMPARE(report["memory_written"]["last"].toInt(), 0xC009);
    QCOMPARE(report["trace"].toArray().size(), 79);
    QCOMPARE(report["ports"].toArray().size(), 0);
}

void CliRunCommand::refused_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("answers");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("err"); // ANSWERS stands for the answers file's path
    QTest::newRow("answers lines refused, each by its number")
        << QStringList{"--answers", "ANSWERS"} << QByteArray("$0042 0\n$002A 1\n\n$002A\n") << 3
        << QByteArray("mobrin-cli: ANSWERS: line 1: $0042 ends the add-in and takes no answer\n"
                      "mobrin-cli: ANSWERS: line 4: the result is missing after '$002A'\n");
    QTest::newRow("--max-steps 0")
        << QStringList{"--max-steps", "0"} << QByteArray() << 2
        << QByteArray("mobrin-cli: run: --max-steps takes a number of instructions from 1 to "
                      "2147483646 (see 'mobrin-cli run --help')\n");
}

void CliRunCommand::refused() {
    QFETCH(QStringList, options);
    QFETCH(QByteArray, answers);
    QFETCH(int, code);
    QFETCH(QByteArray, err);
    const QString name = QString::fromLatin1(QTest::currentDataTag()) + ".answers";
    const QString path = m_files.path(name);
    if (!answers.isEmpty()) {
        m_files.write(name, answers);
    }
    options.replaceInStrings("ANSWERS", path);
    const CliRun run(QStringList{"run", m_files.path("hello.rex")} + options);
    QCOMPARE(run.code, code);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, err.replace("ANSWERS", path.toUtf8()));
}

QTEST_GUILESS_MAIN(CliRunCommand)
#include "tst_cli_run.moc"

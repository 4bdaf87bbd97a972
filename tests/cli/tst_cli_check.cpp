// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRun.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// The findings themselves are AddinCheck's (tests/core/format); here: what check prints and
// the exit status over several files.
class CliCheck : public QObject {
    Q_OBJECT

private slots:
    void exitStatus_data();
    void exitStatus();
    void json();
};

void CliCheck::exitStatus_data() {
    QTest::addColumn<QByteArrayList>("files"); // "-" is a file that does not exist
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("lastLine");

    const QByteArray warned = TestFiles::addin(); // word 1 is $1234, the code 100 bytes
    // Code as long as word 1 ($1234) says.
    const QByteArray sound = TestFiles::addin("Clock", "Shows time", 0x1234);
    QTest::newRow("no findings") << QByteArrayList{sound} << QStringList{} << 0
                                 << QByteArray("0.rex: no findings");
    QTest::newRow("a warning") << QByteArrayList{warned} << QStringList{} << 0
                               << QByteArray("0.rex: warning word1-mismatch at $0029: Word 1 is "
                                             "$1234 (4660), neither the approximate code size "
                                             "(100) nor the number of bytes after the header "
                                             "(7987).");
    QTest::newRow("a warning, --strict")
        << QByteArrayList{warned} << QStringList{"--strict"} << 1 << QByteArray("0.rex: warning word1-mismatch");
    QTest::newRow("an error in the last file")
        << QByteArrayList{sound, QByteArray(10, 'x')} << QStringList{} << 1
        << QByteArray("1.rex: error not-addin at $0000");
    QTest::newRow("a missing file before one with an error")
        << QByteArrayList{"-", QByteArray(10, 'x')} << QStringList{} << 3
        << QByteArray("1.rex: error not-addin");
}

void CliCheck::exitStatus() {
    QFETCH(QByteArrayList, files);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, lastLine);

    TestFiles folder;
    QStringList arguments = {"check"};
    for (int i = 0; i < files.size(); ++i) {
        const QString name = QStringLiteral("%1.rex").arg(i);
        arguments << (files[i] == "-" ? folder.path(name) : folder.write(name, files[i]));
    }
    const CliRun run(arguments + options);
    QCOMPARE(run.code, exitCode);
    QVERIFY2(run.out.trimmed().split('\n').last().contains("/" + lastLine), run.out.constData());
    QCOMPARE(run.err.isEmpty(), !files.contains("-"));
}

void CliCheck::json() {
    TestFiles folder;
    const QString path = folder.write("a.rex", TestFiles::addin());
    const CliRun run({"check", "--json", path, folder.path("none.rex")});
    QCOMPARE(run.code, 3);
    const QJsonArray files = QJsonDocument::fromJson(run.out).array();
    QCOMPARE(files.size(), 2);
    const QJsonObject first = files[0].toObject();
    QCOMPARE(first["file"].toString(), path);
    QCOMPARE(first["size"].toInt(), 8192);
    QCOMPARE(first["errors"].toInt(), 0);
    QCOMPARE(first["warnings"].toInt(), 1);
    const QJsonObject finding = first["findings"].toArray().first().toObject();
    QCOMPARE(finding["id"].toString(), "word1-mismatch");
    QCOMPARE(finding["severity"].toString(), "warning");
    QCOMPARE(finding["offset"].toInt(), 41);
    QVERIFY(finding["sentence"].toString().startsWith("Word 1 is $1234"));
    QCOMPARE(files[1].toObject()["unreadable"].toString(), "no such file");
    compareWithProgram({"check", "--json", "--strict", path});
}

QTEST_GUILESS_MAIN(CliCheck)
#include "tst_cli_check.moc"

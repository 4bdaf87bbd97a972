// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"
#include "WindowHarness.h"

#include <QMimeData>
#include <QProcess>

class StartAndOpenTest : public QObject {
    Q_OBJECT

private slots:
    void fileOnTheCommandLine_data();
    void fileOnTheCommandLine();
    void fileOnTheCommandLineIsCheckedLikeTheDialog();
    void droppedFileOpens_data();
    void droppedFileOpens();
    void programAnswersWithoutADisplay_data();
    void programAnswersWithoutADisplay();
};

void StartAndOpenTest::fileOnTheCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("opens");
    QTest::newRow("no file") << QStringList{"mobrin"} << false;
    QTest::newRow("a file") << QStringList{"mobrin", "FILE"} << true;
}

void StartAndOpenTest::fileOnTheCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, opens);
    WindowHarness h;
    const QString path = h.files.write(QStringLiteral("clock sample é.rex"), TestFiles::addin());
    arguments.replaceInStrings(QStringLiteral("FILE"), path);
    const std::optional<QString> file = CommandLine::fileToOpen(arguments);
    QCOMPARE(file.has_value(), opens);
    if (file) {
        CommandLine::openWhenShown(*h.window, *file);
    }
    QTRY_COMPARE(h.window->windowTitle(),
                 opens ? QStringLiteral("Mobrin : ") + path : QStringLiteral("Mobrin - By Keldor"));
    QCOMPARE(h.box("Aname")->text(), opens ? QStringLiteral("Clock") : QString());
    QVERIFY(h.prompts.requests.isEmpty());
}

void StartAndOpenTest::fileOnTheCommandLineIsCheckedLikeTheDialog() {
    WindowHarness h;
    const QString path = h.files.write(QStringLiteral("short.rex"), TestFiles::addin().left(5000));
    h.prompts.answer(Prompts::Answer::Yes);
    CommandLine::openWhenShown(*h.window, path);
    QTRY_VERIFY(h.document().image().isLoaded());
    QCOMPARE(h.prompts.texts(), QStringList{"File is less than 8K!\r\nPad it to 8K?"});
    QCOMPARE(TestFiles::read(path).size(), 8192);
}

void StartAndOpenTest::droppedFileOpens_data() {
    QTest::addColumn<bool>("patched");
    QTest::addColumn<Prompts::Answer>("discard");
    QTest::addColumn<bool>("opens");
    QTest::newRow("clean") << false << Prompts::Answer::No << true;
    QTest::newRow("patched, keep") << true << Prompts::Answer::No << false;
    QTest::newRow("patched, discard") << true << Prompts::Answer::Yes << true;
}

void StartAndOpenTest::droppedFileOpens() {
    QFETCH(bool, patched);
    QFETCH(Prompts::Answer, discard);
    QFETCH(bool, opens);
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    if (patched) {
        h.patch(h.box("Aname"), QStringLiteral("Time"));
        h.prompts.answer(discard);
    }
    const QString other = h.files.write(QStringLiteral("dropped.rex"), TestFiles::addin("Drop"));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(other)});
    const QPoint where = h.window->rect().center();
    QDragEnterEvent enter(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.window.get(), &drop);
    WindowHarness::settle();

    if (patched) {
        QCOMPARE(h.prompts.texts().last(),
                 QStringLiteral("File is patched!\r\nDo you want to discard the changes?"));
    }
    QCOMPARE(h.box("Aname")->text(), opens ? QStringLiteral("Drop") : QStringLiteral("Time "));
    QCOMPARE(h.document().isPatched(), !opens);
}

void StartAndOpenTest::programAnswersWithoutADisplay_data() {
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("answer");
    QTest::newRow("version") << "--version"
                             << "Mobrin 1.0.1";
    QTest::newRow("help") << "--help"
                          << "Usage:";
}

void StartAndOpenTest::programAnswersWithoutADisplay() {
    QFETCH(QString, option);
    QFETCH(QString, answer);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        environment.remove(QLatin1String(display));
    }
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MOBRIN_BINARY), {option});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QString::fromUtf8(program.readAllStandardOutput()).trimmed().startsWith(answer));
}

QTEST_MAIN(StartAndOpenTest)
#include "tst_startandopen.moc"

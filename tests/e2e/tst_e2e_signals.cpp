// SPDX-License-Identifier: GPL-3.0-or-later
// The real window under a file-size limit, and ended by a signal as a logout or `kill` ends
// it: it reports what it cannot write, goes on working, and leaves no temporary files.
#include "DesktopSession.h"
#include "RunningMobrin.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

#include <sys/resource.h>

namespace {

const QString kName = QStringLiteral("AddIn name");
const QString kPatchQuestion = QStringLiteral("Patch the addin?");
const QString kTemporaryFilesError =
    QStringLiteral("Error opening temporary files!!\r\nFile too large");

// ulimit -f 23: the 8192-byte add-in fits, its 24576-character hex dump does not.
void limitFileSize() {
    const rlimit limit{23 * 1024, 23 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace

class SignalJourneys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void aFileSizeLimitIsReportedAndTheWindowWorksOn();
    void aSignalWhileAskingEndsItCleanly();

private:
    void start(const std::function<void()>& inChild = {});
    // What the program left in its temporary folder.
    QStringList leftovers() const;

    std::unique_ptr<DesktopSession> m_desktop;
    std::unique_ptr<TestFiles> m_files;
    std::unique_ptr<QTemporaryDir> m_temporary;
    std::unique_ptr<RunningMobrin> m_app;
    QByteArray m_original;
    QString m_path;
};

void SignalJourneys::initTestCase() {
    m_desktop = std::make_unique<DesktopSession>();
    QVERIFY2(m_desktop->problem().isEmpty(), qPrintable(m_desktop->problem()));
    m_original = TestFiles::addin();
}

void SignalJourneys::init() {
    m_files = std::make_unique<TestFiles>();
    m_temporary = std::make_unique<QTemporaryDir>();
    m_path = m_files->write(QStringLiteral("clock.rex"), m_original);
}

void SignalJourneys::cleanup() {
    if (m_app) {
        m_app->endJourney();
    }
    m_app.reset();
}

void SignalJourneys::start(const std::function<void()>& inChild) {
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("TMPDIR"), m_temporary->path());
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{m_path}, QString(), environment,
                                            inChild);
    QVERIFY2(m_app->problem().isEmpty(), qPrintable(m_app->problem()));
}

QStringList SignalJourneys::leftovers() const {
    return QDir(m_temporary->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

void SignalJourneys::aFileSizeLimitIsReportedAndTheWindowWorksOn() {
    start(limitFileSize);
    QVERIFY(m_app->answer(kTemporaryFilesError, QStringLiteral("OK")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(kName) == "Clock"; }));

    // The header can still be patched and saved: the add-in itself fits the limit.
    QVERIFY(m_app->click(*m_app->widget(kName), 2));
    QVERIFY(m_app->key(QStringLiteral("End shift+Home")));
    QVERIFY(m_app->type(QStringLiteral("Tick")));
    QVERIFY(m_app->key(QStringLiteral("Tab")));
    QVERIFY(m_app->answer(kPatchQuestion, QStringLiteral("OK")));
    QVERIFY(m_app->answer(kTemporaryFilesError, QStringLiteral("OK")));
    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QByteArray patched = m_original;
    patched.replace(23, 5, "Tick ");
    QVERIFY(RunningMobrin::waitFor([&] { return TestFiles::read(m_path) == patched; }));
    QVERIFY(m_app->isRunning());

    QVERIFY(m_app->terminate());
    QCOMPARE(leftovers(), QStringList());
}

// A logout while a question is open: the program ends at once, asks nothing more, writes
// nothing and leaves nothing behind.
void SignalJourneys::aSignalWhileAskingEndsItCleanly() {
    start();
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(kName) == "Clock"; }));
    QVERIFY(!leftovers().isEmpty());
    // The double-click selects the name; typing replaces it.
    QVERIFY(m_app->click(*m_app->widget(kName), 2));
    QVERIFY(m_app->type(QStringLiteral("X")));
    QVERIFY(m_app->key(QStringLiteral("Tab")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->questionsShowing(kPatchQuestion) == 1; }));

    QVERIFY(m_app->terminate());
    QCOMPARE(leftovers(), QStringList());
    QCOMPARE(TestFiles::read(m_path), m_original);
}

QTEST_GUILESS_MAIN(SignalJourneys)
#include "tst_e2e_signals.moc"

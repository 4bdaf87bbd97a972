// Text pasted into an unlocked name or description that the field cannot hold: its own
// terminator (a line break in the name, a zero character in the description) or a character
// outside the code page. Nothing is written, the window says why, and the file on disk and
// the next save keep the old field.
#include "DumpFiles.h"
#include "DumpPane.h"
#include "DumpView.h"
#include "HeaderArea.h"
#include "HeaderBox.h"
#include "MainWindow.h"
#include "ScriptedPrompts.h"
#include "TestFiles.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QtTest>

class TestPatchBadText : public QObject {
    Q_OBJECT

private slots:
    void pasted_data();
    void pasted();
};

void TestPatchBadText::pasted_data() {
    QTest::addColumn<bool>("inName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");

    const QString endsField = QStringLiteral("The character U+%1 would end the field early, so "
                                             "it cannot be stored there. Nothing was patched.");
    QTest::newRow("line break in the name")
        << true << QStringLiteral("Ti\rme") << endsField.arg(QStringLiteral("000D"));
    QTest::newRow("zero character in the description")
        << false << QStringLiteral("Shows") + QChar(0) + QStringLiteral("day")
        << endsField.arg(QStringLiteral("0000"));
    QTest::newRow("emoji in the name")
        << true << QStringLiteral("⏰")
        << QStringLiteral("The character \"⏰\" cannot be stored in an add-in header. Nothing "
                          "was patched.");
}

void TestPatchBadText::pasted() {
    QFETCH(bool, inName);
    QFETCH(QString, text);
    QFETCH(QString, message);

    TestFiles files;
    const QByteArray original = TestFiles::addin("Clock", "Shows time", 1000);
    const QString path = files.write(QStringLiteral("clock.rex"), original);
    ScriptedPrompts prompts;
    DumpFiles dumpFiles;
    MainWindow window(prompts, dumpFiles);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    prompts.choose(path);
    window.mnuFileOpen_Click();

    HeaderBox* box = inName ? window.headerArea()->Aname : window.headerArea()->Adesc;
    const QString oldText = box->text();
    QTest::mouseDClick(box, Qt::LeftButton);
    QVERIFY(!box->isReadOnly());
    box->selectAll();
    QGuiApplication::clipboard()->setText(text);
    box->paste();
    QCOMPARE(box->text(), text);
    prompts.answer(Prompts::Answer::Ok);
    window.dumpView()->scrHEX->setFocus();

    QCOMPARE(prompts.texts(), (QStringList{QStringLiteral("Patch the addin?"), message}));
    QVERIFY(!window.isPatched());
    QCOMPARE(window.image().bytes(), original);
    QCOMPARE(box->text(), oldText);
    QCOMPARE(window.headSize(), 205);

    window.mnuFileSave_Click();
    QCOMPARE(TestFiles::read(path), original);
}

QTEST_MAIN(TestPatchBadText)
#include "tst_patch_bad_text.moc"

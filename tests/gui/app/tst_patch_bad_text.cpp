// SPDX-License-Identifier: GPL-3.0-or-later
// Text pasted into an unlocked name or description that the field cannot hold: its own
// terminator (a line break in the name, a zero character in the description) or a character
// outside the code page. Nothing is written, the window says why, and the file on disk and
// the next save keep the old field.
#include "WindowHarness.h"

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
        << QStringLiteral("The character \"⏰\" (U+23F0) cannot be stored in an add-in header: it "
                          "has no Windows-1252 code. Nothing was patched.");
}

void TestPatchBadText::pasted() {
    QFETCH(bool, inName);
    QFETCH(QString, text);
    QFETCH(QString, message);

    WindowHarness h;
    const QByteArray original = TestFiles::addin("Clock", "Shows time", 1000);
    const QString path = h.files.write(QStringLiteral("clock.rex"), original);
    h.open(path);

    HeaderBox* box = inName ? h.box("Aname") : h.box("Adesc");
    const QString oldText = box->text();
    QTest::mouseDClick(box, Qt::LeftButton);
    QVERIFY(!box->isReadOnly());
    box->selectAll();
    QGuiApplication::clipboard()->setText(text);
    box->paste();
    QCOMPARE(box->text(), text);
    h.prompts.answer(Prompts::Answer::Ok);
    h.hexPane()->setFocus();
    WindowHarness::settle();

    QCOMPARE(h.prompts.texts(), (QStringList{QStringLiteral("Patch the addin?"), message}));
    QVERIFY(!h.document().isPatched());
    QCOMPARE(h.document().image().bytes(), original);
    QCOMPARE(box->text(), oldText);
    QCOMPARE(h.document().header().headSize, 205);

    h.command("mnuFileSave");
    QCOMPARE(TestFiles::read(path), original);
}

QTEST_MAIN(TestPatchBadText)
#include "tst_patch_bad_text.moc"

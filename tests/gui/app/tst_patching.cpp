// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodePage.h"
#include "DumpText.h"
#include "WindowHarness.h"

namespace {

using Answer = Prompts::Answer;

// Unlocks `box` with a double-click, gives it the focus and replaces its text by typing.
void unlockAndType(HeaderBox* box, const QString& text) {
    QTest::mouseDClick(box, Qt::LeftButton);
    box->setFocus();
    QTRY_VERIFY(box->hasFocus());
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    bool ascii = true;
    for (const QChar ch : text) {
        ascii = ascii && ch.unicode() < 0x80;
    }
    if (ascii) {
        QTest::keyClicks(box, text);
    } else {
        // Qt Test types ASCII only; the rest arrives as an input method would commit it.
        box->insert(text);
    }
}

// Moves the focus away from the header boxes, as a click into the dump would.
void leave(WindowHarness& h) {
    h.hexPane()->setFocus();
    WindowHarness::settle();
}

} // namespace

class PatchingTest : public QObject {
    Q_OBJECT

private slots:
    void confirmedPatchWritesTheFieldOnly_data();
    void confirmedPatchWritesTheFieldOnly();
    void doubleClickLocksAndUnlocks();
    void cancelRestoresTheText();
    void unchangedTextAsksNothing_data();
    void unchangedTextAsksNothing();
    void secondDoubleClickTakesTheTypedText();
    void typingStopsAtTheFieldLength();
    void emptyFieldTakesNoTyping_data();
    void emptyFieldTakesNoTyping();
    void characterOutsideTheCodePageIsRefused_data();
    void characterOutsideTheCodePageIsRefused();
    void nothingHappensWithoutAParsedFile();
    void savedFileDiffersOnlyInThePatchedBytes();
};

void PatchingTest::confirmedPatchWritesTheFieldOnly_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("name Clock to Time") << "Aname"
                                        << "Time" << 23 << QByteArray("Time ");
    QTest::newRow("name, same length") << "Aname"
                                       << "Watch" << 23 << QByteArray("Watch");
    QTest::newRow("description shorter") << "Adesc"
                                         << "Time" << 30 << QByteArray("Time      ");
    QTest::newRow("description, Latin-1 and euro")
        << "Adesc" << QString::fromUtf16(u"Zeit \u20AC\u00E4") << 30
        << QByteArray("Zeit \x80\xE4   ");
}

void PatchingTest::confirmedPatchWritesTheFieldOnly() {
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(int, offset);
    QFETCH(QByteArray, written);
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    h.openAddin(original);
    auto* field = h.window->findChild<HeaderBox*>(box);
    const int length = field->fieldLength();
    unlockAndType(field, typed);
    h.prompts.answer(Answer::Ok);
    leave(h);

    QCOMPARE(h.prompts.messages.size(), 1);
    QCOMPARE(h.prompts.messages.first(),
             (Prompts::Message{"Patch the addin?", "Mobrin", Prompts::Icon::None,
                               Prompts::Buttons::OkCancel, Answer::Cancel}));
    QVERIFY(h.document().isPatched());
    QByteArray expected = original;
    expected.replace(offset, written.size(), written);
    QCOMPARE(h.document().image().bytes(), expected);
    // The new rendering parses the patched header: same layout, same length.
    QCOMPARE(field->text(), CodePage::decode(written));
    QCOMPARE(field->fieldLength(), length);
    QCOMPARE(h.box("Ahead")->text(), QStringLiteral("205"));
    QCOMPARE(h.box("Aorg")->text(), QStringLiteral("$7F35"));
    QCOMPARE(h.asciiPane()->dumpText().mid(offset, written.size()), DumpText::asciiText(written));
    QVERIFY(field->isLocked());
}

void PatchingTest::doubleClickLocksAndUnlocks() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    HeaderBox* name = h.box("Aname");
    const QColor window = h.window->palette().color(QPalette::Window);
    QVERIFY(name->isReadOnly());
    QTest::mouseDClick(name, Qt::LeftButton);
    QVERIFY(!name->isReadOnly());
    QCOMPARE(name->palette().color(QPalette::Base), QColor(255, 255, 255));
    QTest::mouseDClick(name, Qt::LeftButton);
    QVERIFY(name->isReadOnly());
    QCOMPARE(name->palette().color(QPalette::Base), window);
}

void PatchingTest::cancelRestoresTheText() {
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    h.openAddin(original);
    unlockAndType(h.box("Aname"), QStringLiteral("Time"));
    h.prompts.answer(Answer::Cancel);
    leave(h);
    QCOMPARE(h.prompts.texts(), QStringList{"Patch the addin?"});
    QCOMPARE(h.box("Aname")->text(), QStringLiteral("Clock"));
    QCOMPARE(h.document().image().bytes(), original);
    QVERIFY(!h.document().isPatched());
    QVERIFY(h.box("Aname")->isReadOnly());
}

void PatchingTest::unchangedTextAsksNothing_data() {
    QTest::addColumn<bool>("unlock");
    QTest::addColumn<QString>("typed");
    QTest::newRow("never unlocked") << false << QString();
    QTest::newRow("typed back to the same") << true << "Clock";
}

void PatchingTest::unchangedTextAsksNothing() {
    QFETCH(bool, unlock);
    QFETCH(QString, typed);
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    HeaderBox* name = h.box("Aname");
    if (unlock) {
        unlockAndType(name, typed);
    } else {
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("xyz"));
    }
    leave(h);
    QVERIFY(h.prompts.messages.isEmpty());
    QCOMPARE(name->text(), QStringLiteral("Clock"));
    QVERIFY(!h.document().isPatched());
}

void PatchingTest::secondDoubleClickTakesTheTypedText() {
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    h.openAddin(original);
    HeaderBox* name = h.box("Aname");
    unlockAndType(name, QStringLiteral("Time"));
    QTest::mouseDClick(name, Qt::LeftButton);
    QVERIFY(name->isReadOnly());
    leave(h);
    // The typed text became the old text: nothing is asked, nothing written.
    QVERIFY(h.prompts.messages.isEmpty());
    QCOMPARE(name->text(), QStringLiteral("Time"));
    QCOMPARE(h.document().image().bytes(), original);
    h.command("mnuFileProperties");
    QCOMPARE(name->text(), QStringLiteral("Clock"));
}

void PatchingTest::typingStopsAtTheFieldLength() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    HeaderBox* name = h.box("Aname");
    unlockAndType(name, QStringLiteral("Stopwatch"));
    QCOMPARE(name->text(), QStringLiteral("Stopw"));
}

void PatchingTest::emptyFieldTakesNoTyping_data() {
    QTest::addColumn<QByteArray>("classText");
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("empty name") << QByteArray("ADDIN") << QByteArray();
    QTest::newRow("data file") << QByteArray("DATA") << QByteArray("Clock");
}

void PatchingTest::emptyFieldTakesNoTyping() {
    QFETCH(QByteArray, classText);
    QFETCH(QByteArray, name);
    WindowHarness h;
    const QByteArray original = TestFiles::addin(name, "Shows time", 100, 8192, classText);
    h.openAddin(original);
    HeaderBox* box = h.box("Aname");
    QCOMPARE(box->fieldLength(), 0);
    unlockAndType(box, QStringLiteral("Anything"));
    QCOMPARE(box->text(), QString());
    // Nothing to type into: it keeps looking locked.
    QCOMPARE(box->palette().color(QPalette::Base), h.window->palette().color(QPalette::Window));
    leave(h);
    QVERIFY(h.prompts.messages.isEmpty());
    QVERIFY(!h.document().isPatched());
    QCOMPARE(h.document().image().bytes(), original);
}

void PatchingTest::characterOutsideTheCodePageIsRefused_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("named");
    QTest::newRow("Chinese") << QString::fromUtf16(u"Ti\u65F6e") << QString::fromUtf16(u"\u65F6");
    QTest::newRow("emoji") << QString::fromUtf16(u"T\U0001F600")
                           << QString::fromUtf16(u"\U0001F600");
}

void PatchingTest::characterOutsideTheCodePageIsRefused() {
    QFETCH(QString, typed);
    QFETCH(QString, named);
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    h.openAddin(original);
    HeaderBox* name = h.box("Aname");
    unlockAndType(name, typed);
    h.prompts.answer(Answer::Ok);
    leave(h);
    QCOMPARE(h.prompts.messages.size(), 2);
    QVERIFY2(h.prompts.messages.last().text.contains(QLatin1Char('"') + named + QLatin1Char('"')),
             qPrintable(h.prompts.messages.last().text));
    QCOMPARE(h.prompts.messages.last().caption, QStringLiteral("Mobrin"));
    QCOMPARE(h.document().image().bytes(), original);
    QVERIFY(!h.document().isPatched());
    QCOMPARE(name->text(), QStringLiteral("Clock"));
}

void PatchingTest::nothingHappensWithoutAParsedFile() {
    WindowHarness h;
    h.openAddin(QByteArray(8192, 'x'));
    QCOMPARE(h.prompts.texts(), QStringList{"Not a REX AddIn file"});
    HeaderBox* name = h.box("Aname");
    QTest::mouseDClick(name, Qt::LeftButton);
    QVERIFY(name->isReadOnly());
    QCOMPARE(name->palette().color(QPalette::Base), h.window->palette().color(QPalette::Window));
}

void PatchingTest::savedFileDiffersOnlyInThePatchedBytes() {
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    const QString path = h.openAddin(original);
    unlockAndType(h.box("Adesc"), QStringLiteral("Tells time"));
    h.prompts.answer(Answer::Ok);
    leave(h);
    h.command("mnuFileSave");
    const QByteArray saved = TestFiles::read(path);
    QCOMPARE(saved.size(), original.size());
    for (int i = 0; i < saved.size(); ++i) {
        const bool inField = i >= 30 && i < 40;
        if (!inField) {
            QCOMPARE(saved[i], original[i]);
        }
    }
    QCOMPARE(saved.mid(30, 10), QByteArray("Tells time"));
    QVERIFY(!h.document().isPatched());
}

QTEST_MAIN(PatchingTest)
#include "tst_patching.moc"

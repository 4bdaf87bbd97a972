// SPDX-License-Identifier: GPL-3.0-or-later
// The loaded file changed by another program after it was opened: removed, grown, shrunk,
// emptied or replaced. Rendering, patching and saving work on the image alone, and Save
// writes exactly the patched image, whatever lies on disk meanwhile.
#include "DumpText.h"
#include "WindowHarness.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

enum class Change { Removed, Grown, GrownPastLimit, Shrunk, Emptied, Replaced, ReplacedByFolder };

void change(const QString& path, Change how) {
    QFile file(path);
    switch (how) {
    case Change::Removed:
        QVERIFY(file.remove());
        break;
    case Change::Grown:
        QVERIFY(file.open(QIODevice::Append));
        QCOMPARE(file.write(QByteArray(100, 'G')), 100);
        break;
    case Change::GrownPastLimit:
        QVERIFY(file.open(QIODevice::Append));
        QCOMPARE(file.write(QByteArray(20000, 'G')), 20000);
        break;
    case Change::Shrunk:
        QVERIFY(file.resize(100));
        break;
    case Change::Emptied:
        QVERIFY(file.resize(0));
        break;
    case Change::Replaced: {
        // As editors do: a new file written beside it, then renamed over it.
        const QString other = path + QStringLiteral(".new");
        QFile replacement(other);
        QVERIFY(replacement.open(QIODevice::WriteOnly));
        QCOMPARE(replacement.write(TestFiles::addin("Other", "Someone else's", 3000)), 8192);
        replacement.close();
        QVERIFY(::rename(QFile::encodeName(other).constData(),
                         QFile::encodeName(path).constData()) == 0);
        break;
    }
    case Change::ReplacedByFolder:
        QVERIFY(file.remove());
        QVERIFY(QDir().mkdir(path));
        break;
    }
}

} // namespace

class TestChangedOnDisk : public QObject {
    Q_OBJECT

private slots:
    void renderPatchAndSave_data();
    void renderPatchAndSave();
};

void TestChangedOnDisk::renderPatchAndSave_data() {
    QTest::addColumn<Change>("how");
    QTest::addColumn<bool>("saves");

    QTest::newRow("removed") << Change::Removed << true;
    QTest::newRow("grown") << Change::Grown << true;
    QTest::newRow("grown past 9000 bytes") << Change::GrownPastLimit << true;
    QTest::newRow("shrunk") << Change::Shrunk << true;
    QTest::newRow("emptied") << Change::Emptied << true;
    QTest::newRow("replaced by another file") << Change::Replaced << true;
    // Nothing can replace a folder with a file: the save fails and the folder stays.
    QTest::newRow("replaced by a folder") << Change::ReplacedByFolder << false;
}

void TestChangedOnDisk::renderPatchAndSave() {
    QFETCH(Change, how);
    QFETCH(bool, saves);

    WindowHarness h;
    const QByteArray original = TestFiles::addin("Clock", "Shows time", 1000);
    const QString path = h.files.write(QStringLiteral("clock.rex"), original);
    h.open(path);
    QCOMPARE(h.document().image().bytes(), original);

    change(path, how);
    if (QTest::currentTestFailed()) {
        return;
    }

    // Rendering shows the image as loaded: the file on disk is not consulted.
    h.stripBox()->toggle();
    h.stripBox()->toggle();
    WindowHarness::settle();
    QCOMPARE(h.hexPane()->dumpText(), DumpText::hexText(original));
    QCOMPARE(h.asciiPane()->dumpText(), DumpText::asciiText(original));
    QTRY_COMPARE(h.panelText(QStringLiteral("totByte")), QStringLiteral("$2000"));
    QCOMPARE(h.document().header().headSize, 205);

    h.patch(h.box("Aname"), QStringLiteral("Time"));
    QVERIFY(h.document().isPatched());
    QByteArray patched = original;
    patched.replace(23, 5, "Time ");
    QCOMPARE(h.document().image().bytes(), patched);
    QCOMPARE(h.hexPane()->dumpText(), DumpText::hexText(patched));

    h.command("mnuFileSave");
    QVERIFY(h.prompts.scriptUsedUp());
    if (saves) {
        QCOMPARE(h.prompts.texts(), QStringList{QStringLiteral("Patch the addin?")});
        QVERIFY(!h.document().isPatched());
        QCOMPARE(TestFiles::read(path), patched);
    } else {
        QCOMPARE(h.prompts.texts(), (QStringList{QStringLiteral("Patch the addin?"),
                                                 QStringLiteral("Error saving the file!")}));
        QVERIFY(h.document().isPatched());
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(QDir(path).isEmpty());
    }
    // No temporary file of the save is left behind.
    QCOMPARE(QDir(h.files.path(QString())).entryList(QDir::Files | QDir::Hidden),
             saves ? QStringList{QStringLiteral("clock.rex")} : QStringList{});
}

QTEST_MAIN(TestChangedOnDisk)
#include "tst_changed_on_disk.moc"

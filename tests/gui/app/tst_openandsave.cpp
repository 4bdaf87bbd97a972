// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinRecipe.h"
#include "FileSizeLimit.h"
#include "NewAddinDialog.h"
#include "WindowHarness.h"

#include <QFileInfo>
#include <QPushButton>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

namespace {

using Answer = Prompts::Answer;
const QString kPadQuestion = QStringLiteral("File is less than 8K!\r\nPad it to 8K?");
const QString kTooLong = QStringLiteral("File is too long!");
const QString kOpenError = QStringLiteral("Error opening file!!");
const QString kSaveError = QStringLiteral("Error saving the file!");

} // namespace

class OpenAndSaveTest : public QObject {
    Q_OBJECT

private slots:
    void openBySize_data();
    void openBySize();
    void openAsksWithTheListedFilters();
    void openRefusesWhatIsNotARegularFile_data();
    void openRefusesWhatIsNotARegularFile();
    void refusedOpenKeepsTheEarlierFile();
    void paddingThatCannotBeWrittenIsReported();
    void patchedImageAsksBeforeOpening_data();
    void patchedImageAsksBeforeOpening();
    void saveWritesTheImage();
    void saveAsOverALongerFileCutsIt();
    void saveAsMovesTheCaptionAndTheNextSave();
    void saveAsCancelledChangesNothing();
    void saveAndSaveAsWithoutAFileRefuse();
    void failedSaveLeavesTheOldFile_data();
    void failedSaveLeavesTheOldFile();
    void newAddinFromCode_data();
    void newAddinFromCode();
};

void OpenAndSaveTest::openBySize_data() {
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("asksToPad");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("diskAfter");
    QTest::addColumn<int>("imageSize");
    QTest::newRow("9000 bytes") << 9000 << false << Answer::No << QString() << 9000 << 9000;
    QTest::newRow("9001 bytes") << 9001 << false << Answer::No << kTooLong << 9001 << 0;
    QTest::newRow("100000 bytes") << 100000 << false << Answer::No << kTooLong << 100000 << 0;
    QTest::newRow("8192 bytes") << 8192 << false << Answer::No << QString() << 8192 << 8192;
    QTest::newRow("8191, padded") << 8191 << true << Answer::Yes << QString() << 8192 << 8192;
    QTest::newRow("5000, padded") << 5000 << true << Answer::Yes << QString() << 8192 << 8192;
    QTest::newRow("5000, not padded") << 5000 << true << Answer::No << QString() << 5000 << 5000;
    QTest::newRow("empty, padded") << 0 << true << Answer::Yes << QString() << 8192 << 8192;
    QTest::newRow("empty, not padded") << 0 << true << Answer::No << kOpenError << 0 << 0;
}

void OpenAndSaveTest::openBySize() {
    QFETCH(int, size);
    QFETCH(bool, asksToPad);
    QFETCH(Answer, answer);
    QFETCH(QString, message);
    QFETCH(int, diskAfter);
    QFETCH(int, imageSize);
    WindowHarness h;
    QByteArray original =
        size >= 200 ? TestFiles::addin("Clock", "Shows time", 100, size) : QByteArray();
    original.truncate(size);
    const QString path = h.files.write(QStringLiteral("file.rex"), original);

    h.open(path, asksToPad ? std::optional(answer) : std::nullopt);

    QStringList expected;
    if (asksToPad) {
        expected << kPadQuestion;
        QCOMPARE(h.prompts.messages.first(),
                 (Prompts::Message{kPadQuestion, "Mobrin", Prompts::Icon::None,
                                   Prompts::Buttons::YesNo, Answer::No}));
    }
    if (!message.isEmpty()) {
        expected << message;
        QCOMPARE(h.prompts.messages.last(), infoMessage(message));
    }
    if (imageSize > 0 && size == 0) {
        expected << QStringLiteral("Not a REX AddIn file");
    }
    QCOMPARE(h.prompts.texts(), expected);

    const QByteArray disk = TestFiles::read(path);
    QCOMPARE(disk.size(), diskAfter);
    QCOMPARE(disk.left(size), original);
    QVERIFY(disk.mid(size).count(char(0xFF)) == disk.size() - size);
    QCOMPARE(h.document().image().fileSize(), imageSize);
    QCOMPARE(h.document().image().isLoaded(), imageSize > 0);
    if (imageSize > 0) {
        QCOMPARE(h.document().image().bytes(), disk);
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + path);
        QVERIFY(h.stripBox()->isEnabled());
        QCOMPARE(h.panelText(QStringLiteral("totByte")),
                 QStringLiteral("$") + QString::number(imageSize, 16).toUpper());
    } else {
        QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin - By Keldor"));
        QVERIFY(!h.stripBox()->isEnabled());
    }
}

void OpenAndSaveTest::openAsksWithTheListedFilters() {
    WindowHarness h;
    h.prompts.choose(std::nullopt);
    h.command("mnuFileOpen");
    QCOMPARE(h.prompts.requests.size(), 1);
    const Prompts::FileRequest& request = h.prompts.requests.first();
    QCOMPARE(request.kind, Prompts::FileRequest::Kind::Open);
    QVERIFY(request.mustExist);
    QStringList descriptions;
    for (const Prompts::FileFilter& filter : request.filters) {
        descriptions << filter.description;
    }
    QCOMPARE(descriptions, QStringList({"All add in types (*.rex;*.DS2)", "REX add ins (*.rex)",
                                        "DataSlim2 add ins (*.DS2)", "All files (*.*)"}));
    QCOMPARE(request.filters[0].patterns, QStringList({"*.rex", "*.DS2"}));
    // A cancelled dialog says nothing.
    QVERIFY(h.prompts.messages.isEmpty());

    // The next dialog starts from the last chosen name.
    const QString path = h.files.write(QStringLiteral("x.rex"), TestFiles::addin());
    h.open(path);
    h.prompts.choose(std::nullopt);
    h.command("mnuFileOpen");
    QCOMPARE(h.prompts.requests.last().initialName, path);
}

void OpenAndSaveTest::openRefusesWhatIsNotARegularFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("fifo") << "fifo";
    QTest::newRow("directory") << "directory";
    QTest::newRow("missing") << "missing";
}

void OpenAndSaveTest::openRefusesWhatIsNotARegularFile() {
    QFETCH(QString, kind);
    WindowHarness h;
    const QString path = h.files.path(QStringLiteral("odd.rex"));
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(path));
    }
    h.open(path);
    QCOMPARE(h.prompts.texts(), QStringList{kOpenError});
    QVERIFY(!h.document().image().isLoaded());
    QCOMPARE(QFileInfo(path).exists(), kind != QLatin1String("missing"));
}

void OpenAndSaveTest::refusedOpenKeepsTheEarlierFile() {
    WindowHarness h;
    const QByteArray first = TestFiles::addin("First", "The first one");
    const QString firstPath = h.openAddin(first, QStringLiteral("first.rex"));
    const QString longPath = h.files.write(QStringLiteral("long.rex"), QByteArray(9001, 'x'));
    h.open(longPath);
    QCOMPARE(h.prompts.texts().last(), kTooLong);
    QCOMPARE(h.document().image().path(), firstPath);
    QCOMPARE(h.document().image().bytes(), first);
    QCOMPARE(h.box("Aname")->text(), QStringLiteral("First"));
    // A Save now writes the earlier file, never the refused one.
    h.command("mnuFileSave");
    QCOMPARE(TestFiles::read(longPath), QByteArray(9001, 'x'));
    QCOMPARE(TestFiles::read(firstPath), first);
}

void OpenAndSaveTest::paddingThatCannotBeWrittenIsReported() {
    // Even root cannot extend a file of /proc: a read-only file whose padding fails.
    const QString path = QStringLiteral("/proc/self/comm");
    const qint64 before = QFileInfo(path).size();
    WindowHarness h;
    h.open(path, Answer::Yes);
    QCOMPARE(h.prompts.texts().value(0), kPadQuestion);
    QVERIFY(h.prompts.texts().value(1).startsWith(kOpenError + "\r\n"));
    QVERIFY(!h.document().image().isLoaded());
    QCOMPARE(QFileInfo(path).size(), before);
}

void OpenAndSaveTest::patchedImageAsksBeforeOpening_data() {
    QTest::addColumn<Answer>("discard");
    QTest::addColumn<bool>("cancelDialog");
    QTest::newRow("keep the patch") << Answer::No << false;
    QTest::newRow("discard, open another") << Answer::Yes << false;
    QTest::newRow("discard, then cancel") << Answer::Yes << true;
}

void OpenAndSaveTest::patchedImageAsksBeforeOpening() {
    QFETCH(Answer, discard);
    QFETCH(bool, cancelDialog);
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    h.patch(h.box("Aname"), QStringLiteral("Time"));
    QVERIFY(h.document().isPatched());
    const QString other = h.files.write(QStringLiteral("other.rex"), TestFiles::addin("Other"));
    const qsizetype requests = h.prompts.requests.size();

    h.prompts.answer(discard);
    h.prompts.choose(cancelDialog ? std::nullopt : std::optional(other));
    h.command("mnuFileOpen");
    WindowHarness::settle();

    QCOMPARE(h.prompts.messages.last(),
             (Prompts::Message{"File is patched!\r\nDo you want to discard the changes?", "Mobrin",
                               Prompts::Icon::None, Prompts::Buttons::YesNo, Answer::No}));
    if (discard == Answer::No) {
        QCOMPARE(h.prompts.requests.size(), requests);
        QVERIFY(h.document().isPatched());
        QCOMPARE(h.box("Aname")->text(), QStringLiteral("Time "));
        return;
    }
    QVERIFY(!h.document().isPatched());
    QCOMPARE(h.box("Aname")->text(),
             cancelDialog ? QStringLiteral("Time ") : QStringLiteral("Other"));
    // With the patch discarded, closing asks nothing.
    const qsizetype asked = h.prompts.messages.size();
    h.window->close();
    WindowHarness::settle();
    QVERIFY(!h.window->isVisible());
    QCOMPARE(h.prompts.messages.size(), asked);
}

void OpenAndSaveTest::saveWritesTheImage() {
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    const QString path = h.openAddin(original);
    h.patch(h.box("Aname"), QStringLiteral("Time"));
    h.command("mnuFileSave");
    QByteArray expected = original;
    expected.replace(23, 5, "Time ");
    QCOMPARE(TestFiles::read(path), expected);
    QVERIFY(!h.document().isPatched());
    QCOMPARE(h.prompts.texts(), QStringList{"Patch the addin?"});
}

void OpenAndSaveTest::saveAsOverALongerFileCutsIt() {
    WindowHarness h;
    const QByteArray image = TestFiles::addin();
    h.openAddin(image);
    const QString target = h.files.write(QStringLiteral("longer.rex"), QByteArray(9000, 'z'));
    h.prompts.choose(target);
    h.command("mnuFileSaveAs");
    QCOMPARE(h.prompts.requests.last().kind, Prompts::FileRequest::Kind::Save);
    QVERIFY(h.prompts.requests.last().confirmOverwrite);
    QCOMPARE(TestFiles::read(target), image);
}

void OpenAndSaveTest::saveAsMovesTheCaptionAndTheNextSave() {
    WindowHarness h;
    const QByteArray image = TestFiles::addin();
    const QString first = h.openAddin(image);
    const QString second = h.files.path(QStringLiteral("copy.rex"));
    h.prompts.choose(second);
    h.command("mnuFileSaveAs");
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + second);
    h.patch(h.box("Aname"), QStringLiteral("Copy"));
    h.command("mnuFileSave");
    QCOMPARE(TestFiles::read(first), image);
    QCOMPARE(TestFiles::read(second).mid(23, 5), QByteArray("Copy "));
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + second);
}

void OpenAndSaveTest::saveAsCancelledChangesNothing() {
    WindowHarness h;
    const QString path = h.openAddin(TestFiles::addin());
    h.patch(h.box("Aname"), QStringLiteral("Time"));
    h.prompts.choose(std::nullopt);
    h.command("mnuFileSaveAs");
    QVERIFY(h.document().isPatched());
    QCOMPARE(h.document().image().path(), path);
    QCOMPARE(h.prompts.texts(), QStringList{"Patch the addin?"});
}

void OpenAndSaveTest::saveAndSaveAsWithoutAFileRefuse() {
    WindowHarness h;
    h.command("mnuFileSave");
    h.command("mnuFileSaveAs");
    QCOMPARE(h.prompts.texts(), QStringList({kSaveError, kSaveError}));
    QVERIFY(h.prompts.requests.isEmpty());
}

void OpenAndSaveTest::failedSaveLeavesTheOldFile_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("read-only folder") << "folder";
    QTest::newRow("file-size limit") << "limit";
}

void OpenAndSaveTest::failedSaveLeavesTheOldFile() {
    QFETCH(QString, how);
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    const QString path = h.openAddin(original);
    h.patch(h.box("Aname"), QStringLiteral("Time"));
    QString target = path;
    if (how == QLatin1String("folder")) {
        // No one, root included, creates files in /proc.
        target = QStringLiteral("/proc/mobrin-save-test.rex");
        h.prompts.choose(target);
        h.command("mnuFileSaveAs");
    } else {
        const FileSizeLimit limit(1000);
        h.command("mnuFileSave");
    }
    QVERIFY(h.prompts.texts().last().startsWith(kSaveError + "\r\n"));
    QVERIFY(h.document().isPatched());
    QCOMPARE(TestFiles::read(path), original);
    QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/mobrin-save-test.rex")));
    // No temporary file is left beside the target.
    QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files).size(), 1);
}

void OpenAndSaveTest::newAddinFromCode_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("patchedBefore"); // a patched add-in is open, and the answer is No
    QTest::addColumn<QString>("refusal");
    QTest::newRow("made, then saved where the user says") << "Hello" << false << "";
    QTest::newRow("an empty name, in check's own words") << "" << false << "The name is empty.";
    QTest::newRow("No keeps the changes of the add-in open") << "Hello" << true << "";
}

// File > New add-in from code...: the code file and the picture chosen through the dialogs, the
// add-in made as build --code makes it, opened changed and without a file until Save asks where.
void OpenAndSaveTest::newAddinFromCode() {
    QFETCH(QString, name);
    QFETCH(bool, patchedBefore);
    QFETCH(QString, refusal);
    WindowHarness h;
    if (patchedBefore) {
        h.openAddin(TestFiles::addin());
        h.patch(h.box("Aname"), QStringLiteral("Time"));
    }
    const QByteArray code("\x3E\x01\xC9", 3);
    const QString codePath = h.files.write(QStringLiteral("hello.bin"), code);
    const QString picture = h.files.path(QStringLiteral("hello.png"));
    QVERIFY(TestFiles::drawnIcon(TestFiles::icon()).save(picture));
    h.command("mnuFileNew");
    NewAddinDialog* dialog = h.shown<NewAddinDialog>();
    QVERIFY(dialog && dialog->isVisible());
    h.prompts.choose(codePath);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdNewCode")),
                      Qt::LeftButton);
    h.prompts.choose(picture);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdNewIcon")),
                      Qt::LeftButton);
    WindowHarness::settle();
    dialog->findChild<QLineEdit*>(QStringLiteral("txtNewName"))->setText(name);
    if (patchedBefore) {
        h.prompts.answer(Answer::No);
    }
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdNewCreate")),
                      Qt::LeftButton);
    WindowHarness::settle();
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("lblNewRefusal"))->text(), refusal);
    QCOMPARE(dialog->isVisible(), !refusal.isEmpty() || patchedBefore);
    if (!refusal.isEmpty() || patchedBefore) {
        QCOMPARE(h.document().path().isEmpty(), !patchedBefore);
        return;
    }
    AddinRecipe recipe;
    recipe.code = code;
    recipe.name = name;
    recipe.icon = TestFiles::icon();
    QCOMPARE(h.document().image().bytes(), std::get<QByteArray>(recipe.make()));
    QVERIFY(h.document().isPatched());
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : (new add-in, not saved)"));

    // Save asks where, first offering the code's folder and name.
    const QString target = h.files.path(QStringLiteral("hello.rex"));
    h.prompts.choose(target);
    h.command("mnuFileSave");
    QCOMPARE(h.prompts.requests.last().initialName, target);
    QCOMPARE(TestFiles::read(target), h.document().image().bytes());
    QVERIFY(!h.document().isPatched());
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + target);
}

QTEST_MAIN(OpenAndSaveTest)
#include "tst_openandsave.moc"

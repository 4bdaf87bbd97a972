// SPDX-License-Identifier: GPL-3.0-or-later
// Journeys through the real window: the real program, its real dialogs, a window manager and
// real input events, checked by what the window shows and by the bytes on disk.
#include "AddinRecipe.h"
#include "DesktopSession.h"
#include "RunningMobrin.h"
#include "TestFiles.h"

#include <QDir>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>

#include <memory>

namespace {

// The boxes, by their tooltips.
const QString kName = QStringLiteral("AddIn name");
const QString kDescription = QStringLiteral("AddIn description");
const QString kHexPane = QStringLiteral("The HEX window");
const QString kPatchQuestion = QStringLiteral("Patch the addin?");
const QString kDiscardQuestion =
    QStringLiteral("File is patched!\r\nDo you want to discard the changes?");
constexpr int kNameOffset = 23;
constexpr int kDescriptionOffset = 30;

// The add-in with `text` written over the field at `offset`, padded with spaces to `length`.
QByteArray patched(QByteArray bytes, int offset, int length, const QByteArray& text) {
    bytes.replace(offset, length, text.leftJustified(length, ' '));
    return bytes;
}

} // namespace

class EditingJourneys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionNamesTheFileInFull();
    void leavingTheBoxAsksOnceAndPatches_data();
    void leavingTheBoxAsksOnceAndPatches();
    void aMenuLeavesTheEditGoing_data();
    void aMenuLeavesTheEditGoing();
    void saveShortcutPatchesFirst();
    void openShortcutAsksAboutTheEditThenTheDiscard();
    void aDoubleClickTogglesANumberOnce();
    void failedSaveAsNamesTheNewPathInTheCaption();
    void stripHeaderFollowsAScreenReadersToggle();
    void typeOverAByteUndoRedoAndSave();
    void aNewAddinFromCodeIsSavedWhereAsked();
    void word1FixedInTheDataInspector();

private:
    // Starts mobrin on a fresh copy of the add-in, given on the command line as a relative path.
    void start();
    // Double-clicks the box called `caption`, and types `text` over its whole text.
    void edit(const QString& caption, const QString& text);
    // From the hex pane, Go to `offset` as typed in its box.
    void goTo(const Accessible& hex, const QString& offset);
    bool fileHolds(const QByteArray& bytes) const;

    std::unique_ptr<DesktopSession> m_desktop;
    std::unique_ptr<TestFiles> m_files;
    std::unique_ptr<RunningMobrin> m_app;
    QByteArray m_original;
    QString m_path;
};

void EditingJourneys::initTestCase() {
    m_desktop = std::make_unique<DesktopSession>();
    QVERIFY2(m_desktop->problem().isEmpty(), qPrintable(m_desktop->problem()));
    m_original = TestFiles::addin();
}

void EditingJourneys::init() {
    m_files = std::make_unique<TestFiles>();
    m_path = m_files->write(QStringLiteral("clock.rex"), m_original);
    start();
}

void EditingJourneys::cleanup() {
    if (m_app) {
        m_app->endJourney();
    }
    m_app.reset();
    m_files.reset();
}

void EditingJourneys::start() {
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{QStringLiteral("clock.rex")},
                                            QFileInfo(m_path).absolutePath());
    QVERIFY2(m_app->problem().isEmpty(), qPrintable(m_app->problem()));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(kName) == "Clock"; }));
}

void EditingJourneys::edit(const QString& caption, const QString& text) {
    const std::optional<Accessible> box = m_app->widget(caption);
    QVERIFY(box);
    QVERIFY(m_app->click(*box, 2));
    QVERIFY(m_app->key(QStringLiteral("End shift+Home")));
    QVERIFY(m_app->type(text));
    QVERIFY(RunningMobrin::waitFor([&] { return box->text() == text; }));
}

void EditingJourneys::goTo(const Accessible& hex, const QString& offset) {
    QVERIFY(m_app->click(hex) && m_app->goTo(offset));
}

bool EditingJourneys::fileHolds(const QByteArray& bytes) const {
    return RunningMobrin::waitFor([&] { return TestFiles::read(m_path) == bytes; });
}

// Started in the add-in's folder with its bare name.
void EditingJourneys::captionNamesTheFileInFull() {
    QCOMPARE(m_app->caption(), QStringLiteral("Mobrin : ") + m_path);
}

void EditingJourneys::leavingTheBoxAsksOnceAndPatches_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("leave");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");

    QTest::newRow("Tab from the name") << kName << "key Tab" << kNameOffset << 5;
    QTest::newRow("Shift+Tab from the description")
        << kDescription << "key shift+Tab" << kDescriptionOffset << 10;
    QTest::newRow("click from the name on the description")
        << kName << QStringLiteral("click ") + kDescription << kNameOffset << 5;
    QTest::newRow("click from the description on the name")
        << kDescription << QStringLiteral("click ") + kName << kDescriptionOffset << 10;
}

// Leaving a changed box asks once; OK writes the text into the image, and Save writes it out.
void EditingJourneys::leavingTheBoxAsksOnceAndPatches() {
    QFETCH(QString, box);
    QFETCH(QString, leave);
    QFETCH(int, offset);
    QFETCH(int, length);

    edit(box, QStringLiteral("Tick"));
    const QString how = leave.section(QLatin1Char(' '), 1);
    if (leave.startsWith(QLatin1String("key"))) {
        QVERIFY(m_app->key(how));
    } else {
        QVERIFY(m_app->click(*m_app->widget(how)));
    }
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->questionsShowing(kPatchQuestion) > 0; }));
    QThread::msleep(300);
    QCOMPARE(m_app->questionsShowing(kPatchQuestion), 1);
    QVERIFY(m_app->answer(kPatchQuestion, QStringLiteral("OK")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->questionsShowing(kPatchQuestion) == 0; }));
    QCOMPARE(m_app->textOf(box), QStringLiteral("Tick").leftJustified(length, QLatin1Char(' ')));

    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QVERIFY(fileHolds(patched(m_original, offset, length, "Tick")));
    QCOMPARE(m_app->questionsShowing(kPatchQuestion), 0);
}

void EditingJourneys::aMenuLeavesTheEditGoing_data() {
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("Alt+F, then Escape") << "key alt+f"
                                        << "key Escape";
    QTest::newRow("File clicked open and closed") << "click File"
                                                  << "click File";
}

// Opening a menu asks nothing; the edit goes on until the box is left, and Cancel puts the
// old text back.
void EditingJourneys::aMenuLeavesTheEditGoing() {
    QFETCH(QString, open);
    QFETCH(QString, close);

    edit(kName, QStringLiteral("Tick"));
    const std::optional<Accessible> file = m_app->widget(QStringLiteral("File"));
    QVERIFY(file);
    for (const QString& step : {open, close}) {
        if (step.startsWith(QLatin1String("key"))) {
            QVERIFY(m_app->key(step.section(QLatin1Char(' '), 1)));
        } else {
            QVERIFY(m_app->click(*file));
        }
        QThread::msleep(300);
        QCOMPARE(m_app->questionsShowing(kPatchQuestion), 0);
    }
    QVERIFY(m_app->isRunning());
    QCOMPARE(m_app->textOf(kName), QStringLiteral("Tick"));

    QVERIFY(m_app->click(*m_app->widget(QStringLiteral("The HEX window"))));
    QVERIFY(m_app->answer(kPatchQuestion, QStringLiteral("Cancel")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(kName) == QLatin1String("Clock"); }));
    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QThread::msleep(300);
    QCOMPARE(TestFiles::read(m_path), m_original);
    QVERIFY(m_app->isRunning());
}

void EditingJourneys::saveShortcutPatchesFirst() {
    edit(kName, QStringLiteral("Tick"));
    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QVERIFY(m_app->answer(kPatchQuestion, QStringLiteral("OK")));
    QVERIFY(fileHolds(patched(m_original, kNameOffset, 5, "Tick")));
}

// Ctrl+O ends the edit before anything else; after OK, the open asks about the patch, and No
// keeps it.
void EditingJourneys::openShortcutAsksAboutTheEditThenTheDiscard() {
    edit(kName, QStringLiteral("Tick"));
    QVERIFY(m_app->key(QStringLiteral("ctrl+o")));
    QVERIFY(m_app->answer(kPatchQuestion, QStringLiteral("OK")));
    QVERIFY(m_app->answer(kDiscardQuestion, QStringLiteral("No")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->questionsShowing(kDiscardQuestion) == 0; }));
    QCOMPARE(m_app->textOf(kName), QStringLiteral("Tick "));
    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QVERIFY(fileHolds(patched(m_original, kNameOffset, 5, "Tick")));
}

void EditingJourneys::aDoubleClickTogglesANumberOnce() {
    const QString org = QStringLiteral("Code start address - Click to toggle HEX/Dec");
    QCOMPARE(m_app->textOf(org), QStringLiteral("$7F35"));
    QVERIFY(m_app->click(*m_app->widget(org), 2));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(org) != "$7F35"; }));
    QThread::msleep(300);
    QCOMPARE(m_app->textOf(org), QStringLiteral("32565"));

    const QString total = QStringLiteral("Total file size - click to toggle HEX/Dec");
    QCOMPARE(m_app->textOf(total), QStringLiteral("$2000"));
    QVERIFY(m_app->click(*m_app->widget(total), 2));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(total) != "$2000"; }));
    QThread::msleep(300);
    QCOMPARE(m_app->textOf(total), QStringLiteral("8192"));
}

// A file cannot go below another file: the save fails, and the caption names the path the
// next Save tries again.
void EditingJourneys::failedSaveAsNamesTheNewPathInTheCaption() {
    const QString target = m_path + QStringLiteral("/copy.rex");
    QVERIFY(m_app->key(QStringLiteral("ctrl+a")));
    const std::optional<Accessible> name = m_app->fileDialogNameBox();
    QVERIFY(name);
    QVERIFY(m_app->key(QStringLiteral("ctrl+a BackSpace")));
    QVERIFY(m_app->type(QStringLiteral("clock.rex/copy.rex")));
    QVERIFY(RunningMobrin::waitFor([&] { return name->text() == "clock.rex/copy.rex"; }));
    QVERIFY(m_app->key(QStringLiteral("Return")));
    QVERIFY(m_app->answer(QStringLiteral("Error saving the file!\r\nNot a directory"),
                          QStringLiteral("OK")));
    QVERIFY(RunningMobrin::waitFor(
        [&] { return m_app->caption() == QStringLiteral("Mobrin : ") + target; }));
    QCOMPARE(TestFiles::read(m_path), m_original);
}

void EditingJourneys::stripHeaderFollowsAScreenReadersToggle() {
    const std::optional<Accessible> strip = m_app->widget(QStringLiteral("Strip header"));
    QVERIFY(strip);
    QVERIFY(strip->doAction(QStringLiteral("Toggle")));
    QVERIFY(RunningMobrin::waitFor([&] { return strip->isChecked(); }));
    // The dump starts at the first code byte, the header's 205 bytes gone.
    const QString hex = QString::fromLatin1(m_original.mid(205, 4).toHex(' ').toUpper());
    QVERIFY(RunningMobrin::waitFor(
        [&] { return m_app->textOf(QStringLiteral("The HEX window")).startsWith(hex); }));
}

// Go to $100, type AB in the hex pane, take it back and do it again, save; then a name patch
// taken back before a save leaves the name on disk as it was.
void EditingJourneys::typeOverAByteUndoRedoAndSave() {
    const std::optional<Accessible> hex = m_app->widget(kHexPane);
    QVERIFY(hex);
    goTo(*hex, QStringLiteral("$100"));
    // The pane's text as a screen reader reads it: 48 characters and a line feed a line.
    constexpr int kAt = 0x100 / 16 * 49;
    // Go to selects the byte; typing starts there.
    QVERIFY(RunningMobrin::waitFor([&] { return hex->selection() == std::pair(kAt, kAt + 3); }));
    const auto shows = [&](const QByteArray& digits) {
        return RunningMobrin::waitFor([&] { return hex->text().mid(kAt, 2) == digits; });
    };
    const QByteArray before = m_original.mid(0x100, 1).toHex().toUpper();

    QVERIFY(m_app->type(QStringLiteral("AB")));
    QVERIFY(shows("AB"));
    // The caret went on to the next byte, where it was typed, not back to the top.
    QVERIFY(RunningMobrin::waitFor([&] { return hex->caretOffset() == kAt + 3; }));
    QVERIFY(m_app->key(QStringLiteral("ctrl+z")));
    QVERIFY(shows(before));
    QVERIFY(m_app->key(QStringLiteral("ctrl+shift+z")));
    QVERIFY(shows("AB"));
    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QByteArray typed = m_original;
    typed[0x100] = char(0xAB);
    QVERIFY(fileHolds(typed));

    edit(kName, QStringLiteral("Tick"));
    QVERIFY(m_app->key(QStringLiteral("Tab")));
    QVERIFY(m_app->answer(kPatchQuestion, QStringLiteral("OK")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(kName) == "Tick "; }));
    QVERIFY(m_app->key(QStringLiteral("ctrl+z")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(kName) == "Clock"; }));
    // A save puts a new file in place: the same name on another inode, once it is written.
    const auto inode = [&] {
        struct stat status {};
        return ::stat(QFile::encodeName(m_path).constData(), &status) == 0 ? status.st_ino : 0;
    };
    const ino_t saved = inode();
    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QVERIFY(RunningMobrin::waitFor([&] { return inode() != saved; }));
    QCOMPARE(TestFiles::read(m_path), typed);
}

// File > New add-in from code... with its fields typed, then Save, which asks where as Save As.
void EditingJourneys::aNewAddinFromCodeIsSavedWhereAsked() {
    const QByteArray code = QByteArray::fromHex("210F80C9");
    const QString codePath = m_files->write(QStringLiteral("hi.bin"), code);
    QVERIFY(m_app->key(QStringLiteral("ctrl+n")));
    QVERIFY(RunningMobrin::waitFor(
        [&] { return m_app->window(QStringLiteral("New add-in from code")).has_value(); }));
    // The fields by their captions' keys: Code file, Name, Description.
    for (const auto& [keys, text] : {std::pair{"alt+c", codePath},
                                     {"alt+n", QStringLiteral("Hi")},
                                     {"alt+d", QStringLiteral("Says hi")}}) {
        QVERIFY(m_app->key(QString::fromLatin1(keys)));
        QVERIFY(m_app->type(text));
    }
    QVERIFY(m_app->key(QStringLiteral("Return")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->textOf(kName) == "Hi"; }));
    QCOMPARE(m_app->caption(), QStringLiteral("Mobrin : (new add-in, not saved)"));

    const QString target = m_files->path(QStringLiteral("hi.rex"));
    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    const std::optional<Accessible> name = m_app->fileDialogNameBox();
    QVERIFY(name);
    QVERIFY(m_app->key(QStringLiteral("ctrl+a BackSpace")));
    QVERIFY(m_app->type(target));
    QVERIFY(RunningMobrin::waitFor([&] { return name->text() == target; }));
    QVERIFY(m_app->key(QStringLiteral("Return")));
    QVERIFY(RunningMobrin::waitFor(
        [&] { return m_app->caption() == QStringLiteral("Mobrin : ") + target; }));
    AddinRecipe recipe;
    recipe.code = code;
    recipe.name = QStringLiteral("Hi");
    recipe.description = QStringLiteral("Says hi");
    QCOMPARE(TestFiles::read(target), std::get<QByteArray>(recipe.make()));
    QCOMPARE(TestFiles::read(m_path), m_original);
}

// Word 1 (file offset 41, after the description's terminator) typed over in the inspector, then
// saved.
void EditingJourneys::word1FixedInTheDataInspector() {
    const std::optional<Accessible> hex = m_app->widget(kHexPane);
    QVERIFY(hex);
    goTo(*hex, QStringLiteral("$29"));
    QVERIFY(m_app->key(QStringLiteral("ctrl+i")));
    std::optional<Accessible> word;
    QVERIFY(RunningMobrin::waitFor([&] {
        const auto inspector = m_app->window(QStringLiteral("Data inspector"));
        word = inspector ? inspector->find([](const Accessible& object) {
            return object.name() == "16-bit little-endian";
        })
                         : std::nullopt;
        return word && word->text() == "4660"; // $1234
    }));
    QVERIFY(m_app->click(*word));
    QVERIFY(m_app->key(QStringLiteral("End shift+Home")));
    QVERIFY(m_app->type(QStringLiteral("$0004")));
    QVERIFY(m_app->key(QStringLiteral("Return")));
    QVERIFY(RunningMobrin::waitFor([&] { return hex->text().mid(2 * 49 + 9 * 3, 5) == "04 00"; }));
    QVERIFY(m_app->click(*hex));
    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QByteArray fixed = m_original;
    fixed.replace(41, 2, QByteArray::fromHex("0400"));
    QVERIFY(fileHolds(fixed));
}

QTEST_GUILESS_MAIN(EditingJourneys)
#include "tst_e2e_editing.moc"

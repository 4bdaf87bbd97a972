// SPDX-License-Identifier: GPL-3.0-or-later
// The icon journey through the real window: a picture dragged from another program and
// dropped on the icon with real X drag and drop, the real question, Save, the bytes on disk.
#include "DesktopSession.h"
#include "DragSource.h"
#include "RunningMobrin.h"
#include "TestFiles.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

namespace {

const QString kIconBox = QStringLiteral("AddIn Icon - DubleClick for icon code.");
const QString kPatchQuestion = QStringLiteral("Patch the addin?");
constexpr qsizetype kIconOffset = 45;

} // namespace

class IconJourneys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void aPictureDroppedOnTheIconIsPatchedAndSaved();

private:
    std::unique_ptr<DesktopSession> m_desktop;
    std::unique_ptr<TestFiles> m_files;
    std::unique_ptr<RunningMobrin> m_app;
};

void IconJourneys::initTestCase() {
    m_desktop = std::make_unique<DesktopSession>();
    QVERIFY2(m_desktop->problem().isEmpty(), qPrintable(m_desktop->problem()));
}

void IconJourneys::cleanup() {
    if (m_app) {
        m_app->endJourney();
    }
    m_app.reset();
    m_files.reset();
}

// The user draws a new icon at twice the size, drags the picture from a file manager onto the
// icon, agrees to the patch and saves: the file holds the new icon and nothing else changed.
void IconJourneys::aPictureDroppedOnTheIconIsPatchedAndSaved() {
    m_files = std::make_unique<TestFiles>();
    const QByteArray original = TestFiles::addin();
    const QString path = m_files->write(QStringLiteral("clock.rex"), original);
    QByteArray icon = TestFiles::icon();
    for (char& byte : icon) {
        byte = char(~byte);
    }
    const QString picture = m_files->path(QStringLiteral("new icon.png"));
    QVERIFY(TestFiles::drawnIcon(icon, 2).save(picture));

    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{path});
    QVERIFY2(m_app->problem().isEmpty(), qPrintable(m_app->problem()));
    QVERIFY(RunningMobrin::waitFor(
        [&] { return m_app->textOf(QStringLiteral("AddIn name")) == "Clock"; }));
    const std::optional<Accessible> iconBox = m_app->widget(kIconBox);
    QVERIFY(iconBox);

    DragSource source(*m_desktop, picture);
    QVERIFY2(source.problem().isEmpty(), qPrintable(source.problem()));
    QVERIFY(source.dragTo(iconBox->extents().center()));
    QCOMPARE(source.outcome(), QStringLiteral("dropped"));

    QVERIFY(m_app->answer(kPatchQuestion, QStringLiteral("OK")));
    QVERIFY(RunningMobrin::waitFor([&] { return m_app->questionsShowing(kPatchQuestion) == 0; }));
    // The dump shows the new icon bytes at once.
    const QString hex = QString::fromLatin1(icon.toHex().toUpper());
    QVERIFY(RunningMobrin::waitFor([&] {
        QString digits = m_app->textOf(QStringLiteral("The HEX window"));
        digits.remove(QRegularExpression(QStringLiteral("\\s")));
        return digits.mid(kIconOffset * 2, hex.size()) == hex;
    }));
    QCOMPARE(TestFiles::read(path), original);

    // The file manager had the focus for the drag; the user comes back to the window to save.
    QVERIFY(m_app->click(*m_app->widget(QStringLiteral("The HEX window"))));

    QVERIFY(m_app->key(QStringLiteral("ctrl+s")));
    QByteArray expected = original;
    expected.replace(kIconOffset, icon.size(), icon);
    QVERIFY(RunningMobrin::waitFor([&] { return TestFiles::read(path) == expected; }));
}

QTEST_GUILESS_MAIN(IconJourneys)
#include "tst_e2e_icon.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Find and Compare in the real window, on the third-party add-in tafl.rex: typed at with real
// keys, the hex pane's selection read back as a screen reader reads it.
#include "ByteSearch.h"
#include "DesktopSession.h"
#include "RunningMobrin.h"
#include "TestFiles.h"

#include <QFile>
#include <QtTest>

#include <memory>

namespace {

const QString kHexPane = QStringLiteral("The HEX window");

// The bytes the hex pane selects: its text holds three characters a byte, its lines joined.
std::optional<ByteRange> selectedBytes(const Accessible& hex) {
    const std::optional<std::pair<int, int>> selected = hex.selection();
    if (!selected) {
        return std::nullopt;
    }
    const QString text = hex.text();
    const auto charsBefore = [&](int end) { return int(text.left(end).remove('\n').size()); };
    const int start = charsBefore(selected->first);
    return ByteRange{start / 3, (charsBefore(selected->second) - start) / 3};
}

} // namespace

class FindJourney : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void findABytePatternThenStepToThePatchedName();

private:
    std::unique_ptr<DesktopSession> m_desktop;
    std::unique_ptr<RunningMobrin> m_app;
};

void FindJourney::cleanup() {
    if (m_app) {
        m_app->endJourney();
    }
    m_app.reset();
    m_desktop.reset();
}

// Open tafl.rex, Ctrl+F, bytes, "CD ?? 9B", Enter: the first hit is selected. Escape, File >
// Compare with... a copy whose name mobrin-cli patched, F7: the name's bytes are selected.
void FindJourney::findABytePatternThenStepToThePatchedName() {
    const QString real = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + QStringLiteral("/tafl.rex");
    if (!QFile::exists(real)) {
        QSKIP("tafl.rex is not beside the checkout");
    }
    const TestFiles files;
    const QByteArray tafl = TestFiles::read(real);
    const QString path = files.write(QStringLiteral("tafl.rex"), tafl);
    const QString patched = files.path(QStringLiteral("tafl-board.rex"));
    QCOMPARE(QProcess::execute(QStringLiteral(MOBRIN_CLI),
                               {QStringLiteral("patch"), path, QStringLiteral("--name"),
                                QStringLiteral("Board"), QStringLiteral("-o"), patched}),
             0);
    m_desktop = std::make_unique<DesktopSession>();
    QVERIFY2(m_desktop->problem().isEmpty(), qPrintable(m_desktop->problem()));
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{path});
    RunningMobrin& app = *m_app;
    QVERIFY2(app.problem().isEmpty(), qPrintable(app.problem()));
    QVERIFY(RunningMobrin::waitFor([&] { return !app.textOf(kHexPane).isEmpty(); }));
    const std::optional<Accessible> hex = app.widget(kHexPane);
    QVERIFY(hex);

    QVERIFY(app.key(QStringLiteral("ctrl+f")));
    QVERIFY(RunningMobrin::waitFor([&] {
        const std::optional<Accessible> box = app.window(QStringLiteral("Find"));
        return box && box->isActive();
    }));
    QVERIFY(app.key(QStringLiteral("alt+b")));
    QVERIFY(app.type(QStringLiteral("CD ?? 9B")));
    QVERIFY(app.key(QStringLiteral("Return")));
    const BytePattern pattern =
        *BytePattern::parse(QStringLiteral("CD ?? 9B"), BytePattern::Mode::Bytes, false).pattern;
    const ByteRange firstHit = ByteSearch::matches(tafl, pattern, {0, int(tafl.size())}).first();
    RunningMobrin::waitFor([&] { return selectedBytes(*hex) == firstHit; });
    QCOMPARE(selectedBytes(*hex), std::optional(firstHit));

    QVERIFY(app.key(QStringLiteral("Escape")));
    QVERIFY(RunningMobrin::waitFor([&] {
        const std::optional<Accessible> main = app.window(QStringLiteral("Mobrin"));
        return main && main->isActive();
    }));
    QVERIFY(app.key(QStringLiteral("alt+f m")));
    const std::optional<Accessible> name = app.fileDialogNameBox();
    QVERIFY(name);
    QVERIFY(app.key(QStringLiteral("ctrl+a BackSpace")));
    QVERIFY(app.type(patched));
    QVERIFY(RunningMobrin::waitFor([&] { return name->text() == patched; }));
    QVERIFY(app.key(QStringLiteral("Return")));
    QVERIFY(RunningMobrin::waitFor(
        [&] { return app.window(QStringLiteral("Comparison")).has_value(); }));
    QVERIFY(app.key(QStringLiteral("F7")));
    // "ApplicationName:Addin\r\n", then the five bytes of the name.
    const ByteRange nameBytes{23, 5};
    RunningMobrin::waitFor([&] { return selectedBytes(*hex) == nameBytes; });
    QCOMPARE(selectedBytes(*hex), std::optional(nameBytes));
}

QTEST_GUILESS_MAIN(FindJourney)
#include "tst_e2e_find.moc"

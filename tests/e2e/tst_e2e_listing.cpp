// SPDX-License-Identifier: GPL-3.0-or-later
// The code listing in the real window: opened with its key, clicked with the real mouse, and
// read back through the accessibility tree as a screen reader would read it.
#include "DesktopSession.h"
#include "RunningMobrin.h"
#include "TestFiles.h"

#include <QDir>
#include <QtTest>

#include <memory>

namespace {

const QString kHexPane = QStringLiteral("The HEX window");
constexpr int kHeadSize = 205; // TestFiles::addin()'s header
constexpr int kFirstAddress = 0x8000;

// The hex text as the dump holds it: the pane's lines joined.
QString joined(QString text) {
    return text.remove(QLatin1Char('\n'));
}

} // namespace

class ListingJourney : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void clickingAnInstructionSelectsItsBytes();

private:
    std::unique_ptr<DesktopSession> m_desktop;
    std::unique_ptr<RunningMobrin> m_app;
};

void ListingJourney::cleanup() {
    if (m_app) {
        m_app->endJourney();
    }
    m_app.reset();
    m_desktop.reset();
}

// Open an add-in, press Ctrl+L, click the fifth instruction: the hex pane selects its bytes.
void ListingJourney::clickingAnInstructionSelectsItsBytes() {
    m_desktop = std::make_unique<DesktopSession>();
    QVERIFY2(m_desktop->problem().isEmpty(), qPrintable(m_desktop->problem()));
    const TestFiles files;
    const QString path = files.write(QStringLiteral("clock.rex"), TestFiles::addin());
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{path});
    RunningMobrin& app = *m_app;
    QVERIFY2(app.problem().isEmpty(), qPrintable(app.problem()));
    QVERIFY(RunningMobrin::waitFor([&] { return !app.textOf(kHexPane).isEmpty(); }));

    QVERIFY(app.key(QStringLiteral("ctrl+l")));
    std::optional<Accessible> instructions;
    QVERIFY(RunningMobrin::waitFor([&] {
        const std::optional<Accessible> window = app.window(QStringLiteral("Code listing"));
        instructions = window ? window->find([](const Accessible& object) {
            return object.name() == QLatin1String("Instructions");
        })
                              : std::nullopt;
        return instructions && !instructions->text().isEmpty();
    }));
    const QStringList lines = instructions->text().split(QLatin1Char('\n'));
    const int line = 4;
    // "8006  06 07        ld b,$07": the address, then the bytes column.
    const QString& clicked = lines.at(line);
    const int address = clicked.left(4).toInt(nullptr, 16);
    const QString bytes = clicked.mid(6, 11).trimmed();
    QVERIFY2(bytes.size() > 2, qPrintable(clicked)); // more than one byte
    int lineStart = 0;
    for (int i = 0; i < line; ++i) {
        lineStart += int(lines.at(i).size()) + 1;
    }

    // A real click on the line's bytes. Qt's plain text box reports every character at the
    // height of the first line, so the line is found below it: line after line, each as
    // high as a character.
    const QRect first = instructions->characterExtents(0);
    const QRect column = instructions->characterExtents(lineStart + 7);
    QVERIFY2(first.isValid() && column.isValid(), "the listing tells where its characters are");
    QVERIFY(app.clickAt(QPoint(column.center().x(), first.center().y() + line * first.height())));

    const std::optional<Accessible> hex = app.widget(kHexPane);
    QVERIFY(hex);
    std::optional<std::pair<int, int>> selected;
    QVERIFY2(RunningMobrin::waitFor([&] { return (selected = hex->selection()).has_value(); }),
             qPrintable(app.errors()));
    const QString hexText = hex->text();
    const int start = int(joined(hexText.left(selected->first)).size());
    const QString selectedHex =
        joined(hexText.mid(selected->first, selected->second - selected->first));
    QCOMPARE(selectedHex.trimmed(), bytes);
    QCOMPARE(start / 3, kHeadSize + address - kFirstAddress);

    // For a look at the window: MOBRIN_E2E_SCREENSHOT=FILE saves the screen as it ends.
    if (qEnvironmentVariableIsSet("MOBRIN_E2E_SCREENSHOT")) {
        QVERIFY(m_desktop->screenshot(qEnvironmentVariable("MOBRIN_E2E_SCREENSHOT")));
    }
}

QTEST_GUILESS_MAIN(ListingJourney)
#include "tst_e2e_listing.moc"

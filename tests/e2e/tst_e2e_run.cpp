// SPDX-License-Identifier: GPL-3.0-or-later
// The Run window in the real program: opened with its key on the real add-in, stepped with
// F10, run with F5 to the first system call, the call answered in its field and run on, then
// run backwards to the start; read back through the accessibility tree as a screen reader
// reads it: the listing's "►" mark, the stop's sentence, the register fields.
#include "DesktopSession.h"
#include "RunningMobrin.h"

#include <QFileInfo>
#include <QtTest>

#include <memory>

namespace {

const QString kHexPane = QStringLiteral("The HEX window");
const QStringList kRegisters{"AF", "BC", "DE", "HL", "AF'", "BC'", "DE'", "HL'",
                             "IX", "IY", "SP", "PC", "I",   "R",   "IM"};

// The Run window's parts as a screen reader finds them.
struct RunView {
    std::optional<Accessible> listing;
    std::optional<Accessible> stop;
    std::optional<Accessible> result;
    QList<Accessible> registers;

    // The address on the line the listing marks as next ("►"); empty when none is marked.
    QString marked() const {
        for (const QString& line : listing->text().split(QLatin1Char('\n'))) {
            if (line.size() > 7 && line.at(1) == QChar(0x25BA)) {
                return line.mid(3, 4);
            }
        }
        return {};
    }
    QStringList registerTexts() const {
        QStringList texts;
        for (const Accessible& field : registers) {
            texts << field.text();
        }
        return texts;
    }
};

// Presses Ctrl+R once the dump shows the add-in, and waits for the Run window's parts.
std::optional<RunView> openRun(RunningMobrin& app) {
    if (!RunningMobrin::waitFor([&] { return !app.textOf(kHexPane).isEmpty(); }) ||
        !app.key(QStringLiteral("ctrl+r"))) {
        return std::nullopt;
    }
    RunView view;
    const bool found = RunningMobrin::waitFor([&] {
        const std::optional<Accessible> window = app.window(QStringLiteral("Run add-in"));
        if (!window) {
            return false;
        }
        const auto named = [&](const QString& name) {
            return window->find([&](const Accessible& object) { return object.name() == name; });
        };
        view.listing = named(QStringLiteral("Run listing"));
        view.result = named(QStringLiteral("Result"));
        view.stop = window->find([](const Accessible& object) {
            return object.description() == QLatin1String("Why the run stopped");
        });
        view.registers.clear();
        for (const QString& name : kRegisters) {
            if (const std::optional<Accessible> field = named(name)) {
                view.registers << *field;
            }
        }
        return view.listing && view.result && view.stop &&
               view.registers.size() == kRegisters.size() && !view.marked().isEmpty();
    });
    return found ? std::optional(view) : std::nullopt;
}

} // namespace

class RunJourney : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void toTheFirstCallAndBackToTheStart();

private:
    std::unique_ptr<DesktopSession> m_desktop;
    std::unique_ptr<RunningMobrin> m_app;
};

void RunJourney::initTestCase() {
    m_desktop = std::make_unique<DesktopSession>();
    QVERIFY2(m_desktop->problem().isEmpty(), qPrintable(m_desktop->problem()));
}

void RunJourney::cleanup() {
    if (m_app) {
        m_app->endJourney();
    }
    m_app.reset();
}

// tafl.rex: Ctrl+R, F10 twice (the mark moves from $8000 to $8003 and $8006), F5 to its first
// system call, "1" typed as the result, F5 to the next call; Ctrl+F11 a step back, Shift+F5
// back to the start: every register as it was. MOBRIN_E2E_SCREENSHOT=FILE saves the screen at
// the first call.
void RunJourney::toTheFirstCallAndBackToTheStart() {
    const QString real = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + QStringLiteral("/tafl.rex");
    if (!QFileInfo::exists(real)) {
        QSKIP("the third-party add-in tafl.rex is not beside the checkout");
    }
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{real});
    RunningMobrin& app = *m_app;
    QVERIFY2(app.problem().isEmpty(), qPrintable(app.problem()));
    const std::optional<RunView> run = openRun(app);
    QVERIFY2(run, qPrintable(app.errors()));
    QCOMPARE(run->marked(), QStringLiteral("8000"));
    QCOMPARE(run->stop->text(), QStringLiteral("Ready to run from $8000."));
    const QStringList atStart = run->registerTexts();
    QCOMPARE(atStart.at(kRegisters.indexOf("PC")), QStringLiteral("8000"));
    QCOMPARE(atStart.at(kRegisters.indexOf("SP")), QStringLiteral("FFFE"));

    const auto stopsWith = [&](const QString& text) {
        return RunningMobrin::waitFor([&] { return run->stop->text().startsWith(text); });
    };
    for (const QString& next : {QStringLiteral("8003"), QStringLiteral("8006")}) {
        QVERIFY(app.key(QStringLiteral("F10")));
        QVERIFY2(RunningMobrin::waitFor([&] { return run->marked() == next; }),
                 qPrintable(run->marked()));
    }
    QVERIFY(app.key(QStringLiteral("F5")));
    QVERIFY2(stopsWith(QStringLiteral("System call $0030 DS_EVENT_CLEAR, arguments $0000")),
             qPrintable(run->stop->text()));
    QCOMPARE(run->registerTexts().at(kRegisters.indexOf("PC")), run->marked());
    if (qEnvironmentVariableIsSet("MOBRIN_E2E_SCREENSHOT")) {
        QVERIFY(m_desktop->screenshot(qEnvironmentVariable("MOBRIN_E2E_SCREENSHOT")));
    }
    // The result field has the keys, its text ready to be typed over.
    QVERIFY(app.type(QStringLiteral("1")));
    QVERIFY(RunningMobrin::waitFor([&] { return run->result->text() == QLatin1String("1"); }));
    QVERIFY(app.key(QStringLiteral("F5")));
    QVERIFY2(stopsWith(QStringLiteral("System call $0058 DS_DISP_BLOCK_CLEAR")),
             qPrintable(run->stop->text()));

    QVERIFY(app.key(QStringLiteral("ctrl+F11")));
    QVERIFY2(stopsWith(QStringLiteral("Stepped back to $")), qPrintable(run->stop->text()));
    QVERIFY(app.key(QStringLiteral("shift+F5")));
    QVERIFY2(stopsWith(QStringLiteral("Back at the start of the run, $8000")),
             qPrintable(run->stop->text()));
    QCOMPARE(run->marked(), QStringLiteral("8000"));
    QCOMPARE(run->registerTexts(), atStart);
}

QTEST_GUILESS_MAIN(RunJourney)
#include "tst_e2e_run.moc"

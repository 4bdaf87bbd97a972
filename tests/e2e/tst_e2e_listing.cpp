// SPDX-License-Identifier: GPL-3.0-or-later
// The code listing in the real window: opened with its key, clicked with the real mouse, its
// jumps followed with Enter and back with Alt+Left, and read back through the accessibility
// tree as a screen reader would read it.
#include "DesktopSession.h"
#include "RunningMobrin.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

const QString kHexPane = QStringLiteral("The HEX window");
constexpr int kHeadSize = 205; // TestFiles::addin()'s header
constexpr int kFirstAddress = 0x8000;

// The hex text as the dump holds it: the pane's lines joined.
QString joined(QString text) {
    return text.remove(QLatin1Char('\n'));
}

// The hex pane's selection: its first byte's file offset and its bytes as the pane shows them.
std::optional<std::pair<int, QString>> selectedBytes(const Accessible& hex) {
    const std::optional<std::pair<int, int>> selected = hex.selection();
    if (!selected) {
        return std::nullopt;
    }
    const QString text = hex.text();
    return std::pair(
        int(joined(text.left(selected->first)).size()) / 3,
        joined(text.mid(selected->first, selected->second - selected->first)).trimmed());
}

// Clicks line `line` of the listing's text, in its bytes column.
bool clickLine(const RunningMobrin& app, const Accessible& instructions, int line) {
    const QStringList lines = instructions.text().split(QLatin1Char('\n'));
    int lineStart = 0;
    for (int i = 0; i < line; ++i) {
        lineStart += int(lines.at(i).size()) + 1;
    }
    // Qt's plain text box reports every character at the height of the first line in view,
    // so the line is found below it: line after line, each as high as a character.
    const QRect first = instructions.characterExtents(0);
    const QRect column = instructions.characterExtents(lineStart + 7);
    return first.isValid() && column.isValid() &&
           app.clickAt(QPoint(column.center().x(), first.center().y() + line * first.height()));
}

// Clicks line `line` of a listing scrolled anywhere: a first click in the middle of the view
// tells, through the bytes it selects, which line is there, and a second goes `line` lines on.
bool clickLineInView(const RunningMobrin& app, const Accessible& instructions,
                     const Accessible& hex, int headSize, int line) {
    const QStringList lines = instructions.text().split(QLatin1Char('\n'));
    const QRect first = instructions.characterExtents(0);
    const QRect box = instructions.extents();
    if (!first.isValid() || !box.isValid()) {
        return false;
    }
    const int x = first.left() + 7 * std::max(1, first.width());
    const QPoint middle(x, box.center().y());
    const auto selectedLine = [&]() -> std::optional<int> {
        const auto selected = selectedBytes(hex);
        if (!selected) {
            return std::nullopt;
        }
        const QString address =
            QString::number(selected->first - headSize + kFirstAddress, 16).toUpper();
        const auto found = std::find_if(lines.begin(), lines.end(), [&](const QString& text) {
            return text.startsWith(address + QLatin1String("  "));
        });
        return found == lines.end() ? std::nullopt : std::optional(int(found - lines.begin()));
    };
    const auto before = selectedBytes(hex);
    std::optional<int> clicked;
    if (!app.clickAt(middle) || !RunningMobrin::waitFor([&] {
            clicked = selectedLine();
            return clicked.has_value() && selectedBytes(hex) != before;
        })) {
        return false;
    }
    return *clicked == line || app.clickAt(middle + QPoint(0, (line - *clicked) * first.height()));
}

// Waits for the dump, presses Ctrl+L and waits for the listing: its text box.
std::optional<Accessible> openListing(RunningMobrin& app) {
    std::optional<Accessible> instructions;
    if (!RunningMobrin::waitFor([&] { return !app.textOf(kHexPane).isEmpty(); }) ||
        !app.key(QStringLiteral("ctrl+l"))) {
        return std::nullopt;
    }
    RunningMobrin::waitFor([&] {
        const std::optional<Accessible> window = app.window(QStringLiteral("Code listing"));
        instructions = window ? window->find([](const Accessible& object) {
            return object.name() == QLatin1String("Instructions");
        })
                              : std::nullopt;
        return instructions && !instructions->text().isEmpty();
    });
    return instructions;
}

} // namespace

class ListingJourney : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void clickingAnInstructionSelectsItsBytes();
    void followingACallAndComingBack();
    void textAndCallersOfTheRealAddin();
    void marksOfTheAuthorSavedBeside();

private:
    std::unique_ptr<DesktopSession> m_desktop;
    std::unique_ptr<RunningMobrin> m_app;
};

void ListingJourney::initTestCase() {
    m_desktop = std::make_unique<DesktopSession>();
    QVERIFY2(m_desktop->problem().isEmpty(), qPrintable(m_desktop->problem()));
}

void ListingJourney::cleanup() {
    if (m_app) {
        m_app->endJourney();
    }
    m_app.reset();
}

// Open an add-in, press Ctrl+L, click the fifth instruction: the hex pane selects its bytes.
void ListingJourney::clickingAnInstructionSelectsItsBytes() {
    const TestFiles files;
    const QString path = files.write(QStringLiteral("clock.rex"), TestFiles::addin());
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{path});
    RunningMobrin& app = *m_app;
    QVERIFY2(app.problem().isEmpty(), qPrintable(app.problem()));
    const std::optional<Accessible> instructions = openListing(app);
    QVERIFY(instructions);
    const QStringList lines = instructions->text().split(QLatin1Char('\n'));
    const int line = 5; // after the entry point's label line
    // "8006  06 07        ld b,$07": the address, then the bytes column.
    const QString& clicked = lines.at(line);
    const int address = clicked.left(4).toInt(nullptr, 16);
    const QString bytes = clicked.mid(6, 11).trimmed();
    QVERIFY2(bytes.size() > 2, qPrintable(clicked)); // more than one byte
    // A real click on the line's bytes.
    QVERIFY2(clickLine(app, *instructions, line), "the listing tells where its characters are");

    const std::optional<Accessible> hex = app.widget(kHexPane);
    QVERIFY(hex);
    std::optional<std::pair<int, QString>> selected;
    QVERIFY2(RunningMobrin::waitFor([&] { return (selected = selectedBytes(*hex)).has_value(); }),
             qPrintable(app.errors()));
    QCOMPARE(selected->second, bytes);
    QCOMPARE(selected->first, kHeadSize + address - kFirstAddress);
}

// The real add-in: Ctrl+L, a click on "call L9F7B", Enter: the listing and the hex pane show
// the bytes at $9F7B; Alt+Left: the call's own bytes again. For a look at the window,
// MOBRIN_E2E_SCREENSHOT=FILE saves the screen at the target.
void ListingJourney::followingACallAndComingBack() {
    const QString real = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + QStringLiteral("/tafl.rex");
    if (!QFileInfo::exists(real)) {
        QSKIP("the third-party add-in tafl.rex is not beside the checkout");
    }
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{real});
    RunningMobrin& app = *m_app;
    QVERIFY2(app.problem().isEmpty(), qPrintable(app.problem()));
    const std::optional<Accessible> instructions = openListing(app);
    QVERIFY(instructions);
    const QStringList lines = instructions->text().split(QLatin1Char('\n'));
    const int call = int(lines.indexOf(QStringLiteral("8003  CD 7B 9F     .{.       call L9F7B")));
    QVERIFY2(call >= 0, qPrintable(lines.mid(0, 4).join(QLatin1Char('|'))));
    const int target = int(lines.indexOf(QStringLiteral("L9F7B:"))) + 1;
    QVERIFY(target > 0);
    const QString targetBytes = lines.at(target).mid(6, 11).trimmed();
    constexpr int kTaflHeadSize = 195;

    const std::optional<Accessible> hex = app.widget(kHexPane);
    QVERIFY(hex);
    const auto selectedAt = [&](int address, const QString& bytes) {
        return RunningMobrin::waitFor([&] {
            const auto selected = selectedBytes(*hex);
            return selected && selected->first == kTaflHeadSize + address - kFirstAddress &&
                   selected->second == bytes;
        });
    };
    QVERIFY(clickLine(app, *instructions, call));
    QVERIFY2(selectedAt(0x8003, QStringLiteral("CD 7B 9F")), qPrintable(app.errors()));
    QVERIFY(app.key(QStringLiteral("Return")));
    QVERIFY2(selectedAt(0x9F7B, targetBytes), qPrintable(app.errors()));
    if (qEnvironmentVariableIsSet("MOBRIN_E2E_SCREENSHOT")) {
        QVERIFY(m_desktop->screenshot(qEnvironmentVariable("MOBRIN_E2E_SCREENSHOT")));
    }
    QVERIFY(app.key(QStringLiteral("alt+Left")));
    QVERIFY2(selectedAt(0x8003, QStringLiteral("CD 7B 9F")), qPrintable(app.errors()));
}

// The real add-in told from data: Go to @9113 in the dump, and the listing shows the string there
// as text. On a routine's first line, X lists the lines that call it; Enter goes to one, and
// Alt+Left comes back.
void ListingJourney::textAndCallersOfTheRealAddin() {
    const QString real = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + QStringLiteral("/tafl.rex");
    if (!QFileInfo::exists(real)) {
        QSKIP("the third-party add-in tafl.rex is not beside the checkout");
    }
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{real});
    RunningMobrin& app = *m_app;
    QVERIFY2(app.problem().isEmpty(), qPrintable(app.problem()));
    const std::optional<Accessible> instructions = openListing(app);
    QVERIFY(instructions);
    const std::optional<Accessible> hex = app.widget(kHexPane);
    QVERIFY(hex);
    constexpr int kTaflHeadSize = 195;
    const auto selectedFrom = [&](int address) {
        return RunningMobrin::waitFor([&] {
            const auto selected = selectedBytes(*hex);
            return selected && selected->first == kTaflHeadSize + address - kFirstAddress;
        });
    };

    QVERIFY(app.click(*hex));
    QVERIFY(app.goTo(QStringLiteral("@9113")));
    QVERIFY2(selectedFrom(0x9113), qPrintable(app.errors()));
    const QStringList lines = instructions->text().split(QLatin1Char('\n'));
    const int text =
        int(lines.indexOf(QStringLiteral("9113  52 65 ...    Restarti  .dm \"Restarting...\"")));
    QVERIFY2(text > 0, qPrintable(lines.filter(QStringLiteral("9113")).join(QLatin1Char('|'))));

    // The routine the start-up calls: gone to in the dump, Ctrl+L brings the listing to the
    // front, and X lists its callers, one of them the call at $8003.
    QVERIFY(app.goTo(QStringLiteral("@9F7B")));
    QVERIFY2(selectedFrom(0x9F7B), qPrintable(app.errors()));
    QVERIFY(app.key(QStringLiteral("ctrl+l")));
    QVERIFY(RunningMobrin::waitFor([&] {
        const std::optional<Accessible> window = app.window(QStringLiteral("Code listing"));
        return window && window->isActive();
    }));
    QVERIFY(app.key(QStringLiteral("x")));
    std::optional<Accessible> callers;
    QVERIFY(RunningMobrin::waitFor([&] {
        const std::optional<Accessible> window = app.window(QStringLiteral("Code listing"));
        callers = window ? window->find([](const Accessible& object) {
            return object.name() == QLatin1String("References");
        })
                         : std::nullopt;
        return callers && !callers->children().isEmpty();
    }));
    QStringList names;
    for (const Accessible& item : callers->children()) {
        names << item.name();
    }
    QVERIFY2(names.contains(QStringLiteral("8003  CD 7B 9F     .{.       call L9F7B")),
             qPrintable(names.join(QLatin1Char('|'))));
    QVERIFY(app.key(QStringLiteral("Return")));
    QVERIFY2(selectedFrom(names.constFirst().left(4).toInt(nullptr, 16)), qPrintable(app.errors()));
    QVERIFY(app.key(QStringLiteral("alt+Left")));
    QVERIFY2(selectedFrom(0x9F7B), qPrintable(app.errors()));
    if (qEnvironmentVariableIsSet("MOBRIN_E2E_SCREENSHOT")) {
        QVERIFY(m_desktop->screenshot(qEnvironmentVariable("MOBRIN_E2E_SCREENSHOT")));
    }
}

// The author's marks on a copy of the real add-in: the text at $9113 marked as bytes with D and
// back to the analysis with U, its label named with N and a comment given with ;, Undo and
// Redo, Save. Opened again, the marks are back; mobrin-cli writes them into the source, which
// assembles back byte for byte.
void ListingJourney::marksOfTheAuthorSavedBeside() {
    const QString real = qEnvironmentVariable("MOBRIN_REAL_SAMPLES") + QStringLiteral("/tafl.rex");
    if (!QFileInfo::exists(real)) {
        QSKIP("the third-party add-in tafl.rex is not beside the checkout");
    }
    const TestFiles files;
    QFile original(real);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    const QString path = files.write(QStringLiteral("tafl.rex"), bytes);
    const QString comment = QStringLiteral("Shown when a new game starts");
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{path});
    std::optional<Accessible> instructions = openListing(*m_app);
    QVERIFY(instructions);
    const auto lineAt = [&](const QString& start) {
        const QStringList lines = instructions->text().split(QLatin1Char('\n'));
        return lines.filter(QRegularExpression(QLatin1Char('^') + start)).value(0);
    };
    const auto shows = [&](const QString& start, const QString& part) {
        return RunningMobrin::waitFor([&] { return lineAt(start).contains(part); });
    };
    const int text =
        int(instructions->text()
                .split(QLatin1Char('\n'))
                .indexOf(QStringLiteral("9113  52 65 ...    Restarti  .dm \"Restarting...\"")));
    QVERIFY(text > 0);
    // The dump goes to the text and the listing follows; a click there selects its line.
    constexpr int kTaflHeadSize = 195;
    const std::optional<Accessible> hex = m_app->widget(kHexPane);
    QVERIFY(hex && m_app->click(*hex) && m_app->goTo(QStringLiteral("@9113")));
    QVERIFY(RunningMobrin::waitFor([&] {
        const auto selected = selectedBytes(*hex);
        return selected && selected->first == kTaflHeadSize + 0x1113;
    }));
    QVERIFY(m_app->key(QStringLiteral("ctrl+l")));
    QVERIFY(RunningMobrin::waitFor([&] {
        const std::optional<Accessible> window = m_app->window(QStringLiteral("Code listing"));
        return window && window->isActive();
    }));
    QVERIFY(clickLineInView(*m_app, *instructions, *hex, kTaflHeadSize, text));
    QVERIFY(RunningMobrin::waitFor([&] {
        const auto selected = selectedBytes(*hex);
        return selected && selected->first == kTaflHeadSize + 0x1113 &&
               selected->second.startsWith(QLatin1String("52 65")) &&
               selected->second.size() == 13 * 3 - 1;
    }));
    QVERIFY(m_app->key(QStringLiteral("d")));
    QVERIFY2(shows(QStringLiteral("9113"), QStringLiteral(".db $52")), qPrintable(lineAt("9113")));
    QVERIFY(m_app->key(QStringLiteral("u")));
    QVERIFY2(shows(QStringLiteral("9113"), QStringLiteral(".dm")), qPrintable(lineAt("9113")));
    const auto answer = [&](const QString& caption, const QString& typed) {
        return RunningMobrin::waitFor([&] { return m_app->window(caption).has_value(); }) &&
               m_app->key(QStringLiteral("ctrl+a")) && m_app->type(typed) &&
               m_app->key(QStringLiteral("Return"));
    };
    QVERIFY(m_app->key(QStringLiteral("n")));
    QVERIFY(answer(QStringLiteral("Name label"), QStringLiteral("msg_restart")));
    QVERIFY2(shows(QStringLiteral("msg_restart:"), QStringLiteral("msg")),
             qPrintable(m_app->errors()));
    QVERIFY(m_app->key(QStringLiteral("semicolon")));
    QVERIFY(answer(QStringLiteral("Comment"), comment));
    QVERIFY(shows(QStringLiteral("9113"), comment));
    QVERIFY(m_app->key(QStringLiteral("ctrl+z")));
    QVERIFY(RunningMobrin::waitFor([&] { return !lineAt("9113").contains(comment); }));
    QVERIFY(m_app->key(QStringLiteral("ctrl+y")));
    QVERIFY(shows(QStringLiteral("9113"), comment));

    if (qEnvironmentVariableIsSet("MOBRIN_E2E_SCREENSHOT")) {
        QVERIFY(m_desktop->screenshot(qEnvironmentVariable("MOBRIN_E2E_SCREENSHOT")));
    }
    QVERIFY(m_app->click(*hex) && m_app->key(QStringLiteral("ctrl+s")));
    const QString marks = path + QStringLiteral(".marks");
    QVERIFY2(RunningMobrin::waitFor([&] {
                 QFile saved(marks);
                 return saved.open(QIODevice::ReadOnly) && saved.readAll().contains("msg_restart");
             }),
             qPrintable(m_app->errors()));
    m_app->endJourney();
    m_app = std::make_unique<RunningMobrin>(*m_desktop, QStringList{path});
    instructions = openListing(*m_app);
    QVERIFY(instructions);
    QVERIFY(shows(QStringLiteral("msg_restart:"), QStringLiteral("msg")));
    QVERIFY(shows(QStringLiteral("9113"), comment));

    QProcess cli;
    cli.start(QStringLiteral(MOBRIN_CLI),
              {QStringLiteral("source"), path, QStringLiteral("--marks"), marks,
               QStringLiteral("-o"), files.path("tafl.asm")});
    QVERIFY(cli.waitForFinished() && cli.exitCode() == 0);
    QFile source(files.path("tafl.asm"));
    QVERIFY(source.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(source.readAll());
    QVERIFY(written.contains(QStringLiteral("\nmsg_restart:")));
    QVERIFY(written.contains(QStringLiteral("; ") + comment));
    if (QStandardPaths::findExecutable(QStringLiteral("z80asm")).isEmpty()) {
        QSKIP("z80asm is not installed (scripts/mobrin installs it)");
    }
    QCOMPARE(
        QProcess::execute(QStringLiteral("z80asm"),
                          {QStringLiteral("-o"), files.path("back.rex"), files.path("tafl.asm")}),
        0);
    QFile back(files.path("back.rex"));
    QVERIFY(back.open(QIODevice::ReadOnly));
    QCOMPARE(back.readAll(), bytes);
}

QTEST_GUILESS_MAIN(ListingJourney)
#include "tst_e2e_listing.moc"

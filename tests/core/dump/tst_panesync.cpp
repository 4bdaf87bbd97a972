// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpText.h"
#include "PaneSync.h"

#include <QtTest>

using Pane = PaneSync::Pane;

namespace {

PaneSync::Reading reading(Pane leader, int selStart, int selLength, int leaderTop = 0,
                          int followerTop = 0) {
    return {leader, selStart, selLength, leaderTop, followerTop};
}

// -1 stands for "not written on this pass".
int selectionStart(const PaneSync::Step& step) {
    return step.followerSelection ? step.followerSelection->start : -1;
}
int selectionLength(const PaneSync::Step& step) {
    return step.followerSelection ? step.followerSelection->length : -1;
}

} // namespace

class TestPaneSync : public QObject {
    Q_OBJECT

private slots:
    void firstPass_data();
    void firstPass();
    void unchangedSelectionWritesNothing();
    void leaderChangeForcesRewrite();
    void leaderChangeWithNothingSelected();
    void addressColumnFollowsTheFirstLine();
};

void TestPaneSync::firstPass_data() {
    QTest::addColumn<Pane>("leader");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<int>("leaderTop");
    QTest::addColumn<int>("followerTop");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("firstLine");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<int>("mirrorStart");
    QTest::addColumn<int>("mirrorLength");

    QTest::newRow("hex 7/4") << Pane::Hex << 7 << 4 << 0 << 0 << 2 << 2 << 1 << 0 << 2 << 2;
    QTest::newRow("hex length 3") << Pane::Hex << 0 << 3 << 0 << 0 << 0 << 1 << 1 << 0 << 0 << 1;
    QTest::newRow("hex length 1 rounds up")
        << Pane::Hex << 3 << 1 << 0 << 0 << 1 << 1 << 1 << 0 << 1 << 1;
    QTest::newRow("hex length 0, caret inside a group")
        << Pane::Hex << 5 << 0 << 0 << 0 << 1 << 0 << 1 << 0 << 1 << 0;
    QTest::newRow("hex nothing selected at the start")
        << Pane::Hex << 0 << 0 << 0 << 0 << 0 << 0 << 1 << 0 << -1 << -1;
    QTest::newRow("ASCII 5/3") << Pane::Ascii << 5 << 3 << 0 << 0 << 5 << 3 << 1 << 0 << 15 << 9;
    QTest::newRow("hex from character 96")
        << Pane::Hex << 96 << 0 << 96 << 0 << 32 << 0 << 3 << 2 << 32 << 0;
    QTest::newRow("hex top inside line 3")
        << Pane::Hex << 0 << 0 << 100 << 0 << 0 << 0 << 3 << 2 << -1 << -1;
    QTest::newRow("hex scrolled back")
        << Pane::Hex << 0 << 0 << 48 << 64 << 0 << 0 << 2 << -3 << -1 << -1;
    QTest::newRow("ASCII from character 32")
        << Pane::Ascii << 32 << 16 << 32 << 0 << 32 << 16 << 3 << 2 << 96 << 48;
    QTest::newRow("ASCII behind the hex pane")
        << Pane::Ascii << 0 << 0 << 160 << 96 << 0 << 0 << 11 << 8 << -1 << -1;
    QTest::newRow("both on the same line")
        << Pane::Ascii << 0 << 0 << 20 << 60 << 0 << 0 << 2 << 0 << -1 << -1;
}

void TestPaneSync::firstPass() {
    QFETCH(Pane, leader);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(int, leaderTop);
    QFETCH(int, followerTop);
    QFETCH(int, position);
    QFETCH(int, length);
    QFETCH(int, firstLine);
    QFETCH(int, scroll);
    QFETCH(int, mirrorStart);
    QFETCH(int, mirrorLength);

    PaneSync sync;
    const PaneSync::Step step =
        sync.step(reading(leader, selStart, selLength, leaderTop, followerTop));
    QCOMPARE(step.position, position);
    QCOMPARE(step.length, length);
    QCOMPARE(step.firstLine, firstLine);
    QCOMPARE(step.scrollFollowerBy, scroll);
    QCOMPARE(step.addressFirstLine, std::optional<int>(firstLine));
    QCOMPARE(selectionStart(step), mirrorStart);
    QCOMPARE(selectionLength(step), mirrorLength);
}

void TestPaneSync::unchangedSelectionWritesNothing() {
    PaneSync sync;
    const PaneSync::Step first = sync.step(reading(Pane::Hex, 7, 4));
    QCOMPARE(selectionStart(first), 2);

    const PaneSync::Step again = sync.step(reading(Pane::Hex, 7, 4));
    QVERIFY(!again.followerSelection);
    QVERIFY(!again.addressFirstLine);
    QCOMPARE(again.position, 2);
    QCOMPARE(again.length, 2);

    // A different selection of the same bytes counts as unchanged too.
    QVERIFY(!sync.step(reading(Pane::Hex, 6, 6)).followerSelection);

    const PaneSync::Step longer = sync.step(reading(Pane::Hex, 6, 7));
    QCOMPARE(selectionStart(longer), 2);
    QCOMPARE(selectionLength(longer), 3);
    const PaneSync::Step moved = sync.step(reading(Pane::Hex, 9, 7));
    QCOMPARE(selectionStart(moved), 3);
    QCOMPARE(selectionLength(moved), 3);
}

void TestPaneSync::leaderChangeForcesRewrite() {
    PaneSync sync;
    QCOMPARE(selectionStart(sync.step(reading(Pane::Hex, 7, 4))), 2);

    // The ASCII pane now leads with the selection the mirror gave it: the hex pane's
    // selection is rewritten once, to whole groups, and the address column again.
    const PaneSync::Step switched = sync.step(reading(Pane::Ascii, 2, 2));
    QCOMPARE(selectionStart(switched), 6);
    QCOMPARE(selectionLength(switched), 6);
    QCOMPARE(switched.addressFirstLine, std::optional<int>(1));

    const PaneSync::Step settled = sync.step(reading(Pane::Ascii, 2, 2));
    QVERIFY(!settled.followerSelection);
    QVERIFY(!settled.addressFirstLine);

    const PaneSync::Step back = sync.step(reading(Pane::Hex, 6, 6));
    QCOMPARE(selectionStart(back), 2);
    QCOMPARE(selectionLength(back), 2);
    QCOMPARE(back.addressFirstLine, std::optional<int>(1));
}

void TestPaneSync::leaderChangeWithNothingSelected() {
    PaneSync sync;
    sync.step(reading(Pane::Hex, 0, 0));
    const PaneSync::Step switched = sync.step(reading(Pane::Ascii, 0, 0));
    QCOMPARE(switched.addressFirstLine, std::optional<int>(1));
    QVERIFY(!switched.followerSelection);
}

void TestPaneSync::addressColumnFollowsTheFirstLine() {
    PaneSync sync;
    QCOMPARE(sync.step(reading(Pane::Hex, 0, 0, 0)).addressFirstLine, std::optional<int>(1));
    QVERIFY(!sync.step(reading(Pane::Hex, 0, 0, 47)).addressFirstLine);

    const PaneSync::Step scrolled = sync.step(reading(Pane::Hex, 0, 0, 96));
    QCOMPARE(scrolled.addressFirstLine, std::optional<int>(3));
    QCOMPARE(DumpText::addressLinesFrom(*scrolled.addressFirstLine),
             QStringLiteral("0020\r0030\r0040\r0050\r0060\r0070\r0080\r0090\r00A0\r00B0\r00C0\r"
                            "00D0\r00E0\r00F0\r0100\r"));
    QVERIFY(!sync.step(reading(Pane::Hex, 0, 0, 96, 32)).addressFirstLine);
    QCOMPARE(sync.step(reading(Pane::Hex, 0, 0, 0, 32)).addressFirstLine, std::optional<int>(1));
}

QTEST_GUILESS_MAIN(TestPaneSync)
#include "tst_panesync.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
#include "CaretKeys.h"
#include "PointerDrag.h"

#include <QtTest>

// Where the keys and the pointer put the dump's caret and selection, as plain arithmetic.
class CaretKeysTest : public QObject {
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void pointer_data();
    void pointer();
};

void CaretKeysTest::keys_data() {
    // "KEYS [ascii|stripped] OFFSET.NIBBLE = MOVE": the caret in the hex pane of an 8192-byte
    // dump, or in the ASCII pane, or in a dump from 205 (the header stripped); the move as the
    // caret it makes, then "+shift" when it selects and "scroll N" when the view scrolls first.
    QTest::addColumn<QString>("row");
    QTest::newRow("Right: the next byte") << "Right 10.1 = 11.0";
    QTest::newRow("Left from the high digit: the byte before") << "Left 10.0 = 9.0";
    QTest::newRow("Left from the low digit: its high digit") << "Left 10.1 = 10.0";
    QTest::newRow("Shift+Left selects whole bytes") << "Shift+Left 10.1 = 9.0 +shift";
    QTest::newRow("Down keeps the digit") << "Down 40.1 = 56.1";
    QTest::newRow("Down on the last line: past the end") << "Down 8180.1 = 8192.0";
    QTest::newRow("no digits in the ASCII pane") << "Down ascii 40.1 = 56.0";
    QTest::newRow("Page Down") << "PgDown 40.1 = 280.1 scroll 15";
    QTest::newRow("Shift+Page Up near the start")
        << "Shift+PgUp ascii 100.0 = 0.0 +shift scroll -15";
    QTest::newRow("Home: lines count from the first byte shown") << "Home stripped 230.1 = 221.0";
    QTest::newRow("Ctrl+Home") << "Ctrl+Home stripped 4000.0 = 205.0";
    QTest::newRow("End: the line's last byte") << "End 18.0 = 31.0";
    QTest::newRow("Shift+End: through it") << "Shift+End 18.0 = 32.0 +shift";
    QTest::newRow("End on the short last line") << "End stripped 8190.0 = 8192.0";
    QTest::newRow("a letter moves nothing") << "A 18.0 = none";
}

void CaretKeysTest::keys() {
    QFETCH(QString, row);
    const QStringList from = row.section(" = ", 0, 0).split(' ');
    const QKeyCombination key = QKeySequence::fromString(from.first())[0];
    const QStringList caret = from.last().split('.');
    const auto pane = from.contains("ascii") ? PaneColumns::Pane::Ascii : PaneColumns::Pane::Hex;
    const int start = from.contains("stripped") ? 205 : 0;
    const auto moved =
        CaretKeys::forKey(key.key(), key.keyboardModifiers(), {caret[0].toInt(), caret[1].toInt()},
                          pane, {start, 8192 - start});
    const QString text =
        !moved ? QStringLiteral("none")
               : QStringLiteral("%1.%2%3%4")
                     .arg(moved->to.offset)
                     .arg(moved->to.nibble)
                     .arg(moved->extend ? " +shift" : "")
                     .arg(moved->scroll ? QStringLiteral(" scroll %1").arg(moved->scroll) : "");
    QCOMPARE(text, row.section(" = ", 1));
}

void CaretKeysTest::pointer_data() {
    // "press|move X Y BYTE, ... = ANCHOR-CARET" (move with the button held; a drag distance of
    // 4 pixels, both ways added): the selection after the last move, "none" without a drag.
    QTest::addColumn<QString>("row");
    QTest::newRow("a jitter across a byte's edge stays a click")
        << "press 15 10 5, move 17 11 6 = none";
    QTest::newRow("dragged within one byte: that byte") << "press 10 10 5, move 14 10 5 = 5-6";
    QTest::newRow("backwards: the pressed byte through the one under the pointer")
        << "press 40 10 9, move 10 10 5 = 10-5";
    QTest::newRow("once a drag, back near the press still drags")
        << "press 10 10 5, move 30 10 8, move 11 10 5 = 5-6";
}

void CaretKeysTest::pointer() {
    QFETCH(QString, row);
    PointerDrag drag;
    std::optional<PointerDrag::Selection> last;
    for (const QString& step : row.section(" = ", 0, 0).split(", ")) {
        const QStringList words = step.split(' ');
        const QPoint point(words[1].toInt(), words[2].toInt());
        if (words[0] == QLatin1String("press")) {
            drag.press(point, words[3].toInt());
        } else {
            last = drag.moveTo(point, words[3].toInt(), 4);
        }
    }
    QCOMPARE(last ? QStringLiteral("%1-%2").arg(last->anchor).arg(last->caret) : "none",
             row.section(" = ", 1));
}

QTEST_GUILESS_MAIN(CaretKeysTest)
#include "tst_caretkeys.moc"

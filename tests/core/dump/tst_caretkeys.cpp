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

namespace {

using Pane = PaneColumns::Pane;

// "offset.nibble", then "+shift" when it extends and "scroll N" when the view scrolls.
QString described(const std::optional<CaretKeys::Move>& move) {
    if (!move) {
        return QStringLiteral("none");
    }
    QString text = QStringLiteral("%1.%2").arg(move->to.offset).arg(move->to.nibble);
    if (move->extend) {
        text += QStringLiteral(" +shift");
    }
    if (move->scroll != 0) {
        text += QStringLiteral(" scroll %1").arg(move->scroll);
    }
    return text;
}

} // namespace

void CaretKeysTest::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("nibble");
    QTest::addColumn<Pane>("pane");
    QTest::addColumn<ByteRange>("shown");
    QTest::addColumn<QString>("move");
    const ByteRange all{0, 8192};
    const ByteRange stripped{205, 8192 - 205};
    const Qt::KeyboardModifiers plain = Qt::NoModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers control = Qt::ControlModifier;

    QTest::newRow("Right: the next byte")
        << int(Qt::Key_Right) << plain << 10 << 1 << Pane::Hex << all << "11.0";
    QTest::newRow("Right past the last byte: after it")
        << int(Qt::Key_Right) << plain << 8192 << 0 << Pane::Hex << all << "8192.0";
    QTest::newRow("Left from the high digit: the byte before")
        << int(Qt::Key_Left) << plain << 10 << 0 << Pane::Hex << all << "9.0";
    QTest::newRow("Left from the low digit: the same byte's high digit")
        << int(Qt::Key_Left) << plain << 10 << 1 << Pane::Hex << all << "10.0";
    QTest::newRow("Shift+Left from the low digit selects the byte before")
        << int(Qt::Key_Left) << shift << 10 << 1 << Pane::Hex << all << "9.0 +shift";
    QTest::newRow("Left at the first byte shown stays")
        << int(Qt::Key_Left) << plain << 205 << 0 << Pane::Hex << stripped << "205.0";
    QTest::newRow("Up keeps the digit")
        << int(Qt::Key_Up) << plain << 40 << 1 << Pane::Hex << all << "24.1";
    QTest::newRow("Up on the first line: the first byte, high digit")
        << int(Qt::Key_Up) << plain << 7 << 1 << Pane::Hex << all << "0.0";
    QTest::newRow("Down keeps the digit")
        << int(Qt::Key_Down) << plain << 40 << 1 << Pane::Hex << all << "56.1";
    QTest::newRow("Down on the last line: after the last byte")
        << int(Qt::Key_Down) << plain << 8180 << 1 << Pane::Hex << all << "8192.0";
    QTest::newRow("Shift+Down selects whole bytes")
        << int(Qt::Key_Down) << shift << 40 << 1 << Pane::Hex << all << "56.0 +shift";
    QTest::newRow("the ASCII pane has no digits")
        << int(Qt::Key_Down) << plain << 40 << 1 << Pane::Ascii << all << "56.0";
    QTest::newRow("Page Down: 15 lines, and the view with it")
        << int(Qt::Key_PageDown) << plain << 40 << 1 << Pane::Hex << all << "280.1 scroll 15";
    QTest::newRow("Page Down near the end: after the last byte")
        << int(Qt::Key_PageDown) << plain << 8000 << 0 << Pane::Hex << all << "8192.0 scroll 15";
    QTest::newRow("Page Up near the start: the first byte")
        << int(Qt::Key_PageUp) << shift << 100 << 0 << Pane::Ascii << all
        << "0.0 +shift scroll -15";
    QTest::newRow("Home: the line's first byte, lines counted from the first shown")
        << int(Qt::Key_Home) << plain << 230 << 1 << Pane::Hex << stripped << "221.0";
    QTest::newRow("Ctrl+Home: the first byte shown")
        << int(Qt::Key_Home) << control << 4000 << 0 << Pane::Hex << stripped << "205.0";
    QTest::newRow("End: the line's last byte")
        << int(Qt::Key_End) << plain << 18 << 0 << Pane::Hex << all << "31.0";
    QTest::newRow("Shift+End: through the line's last byte")
        << int(Qt::Key_End) << shift << 18 << 0 << Pane::Hex << all << "32.0 +shift";
    QTest::newRow("End on a short last line: after the last byte")
        << int(Qt::Key_End) << plain << 8190 << 0 << Pane::Ascii << ByteRange{0, 8191} << "8191.0";
    QTest::newRow("Ctrl+End: after the last byte")
        << int(Qt::Key_End) << control << 18 << 0 << Pane::Ascii << all << "8192.0";
    QTest::newRow("Shift+Ctrl+End selects to the end")
        << int(Qt::Key_End) << (shift | control) << 18 << 0 << Pane::Hex << all << "8192.0 +shift";
    QTest::newRow("an empty dump: nowhere to go")
        << int(Qt::Key_Down) << plain << 22 << 0 << Pane::Hex << ByteRange{22, 0} << "22.0";
    QTest::newRow("a letter moves nothing")
        << int(Qt::Key_A) << plain << 18 << 0 << Pane::Hex << all << "none";
}

void CaretKeysTest::keys() {
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, offset);
    QFETCH(int, nibble);
    QFETCH(Pane, pane);
    QFETCH(ByteRange, shown);
    QFETCH(QString, move);
    QCOMPARE(described(CaretKeys::forKey(key, modifiers, {offset, nibble}, pane, shown)), move);
}

void CaretKeysTest::pointer_data() {
    // Steps: "press X Y BYTE", "move X Y BYTE" (the button held), "release"; the drag distance
    // is 4 pixels, measured as the sum of both ways.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("selection"); // "anchor-caret" after the last move, or "none"

    QTest::newRow("a click that jitters stays a click")
        << QStringList{"press 10 10 5", "move 12 11 5"} << "none";
    QTest::newRow("dragged within one byte: that byte")
        << QStringList{"press 10 10 5", "move 14 10 5"} << "5-6";
    QTest::newRow("across two bytes: both")
        << QStringList{"press 10 10 5", "move 18 10 6"} << "5-7";
    QTest::newRow("backwards: from the pressed byte back through the one under the pointer")
        << QStringList{"press 40 10 9", "move 10 10 5"} << "10-5";
    QTest::newRow("once a drag, back to the press still selects its byte")
        << QStringList{"press 10 10 5", "move 30 10 8", "move 10 11 5"} << "5-6";
    QTest::newRow("jitter across a byte's edge is no drag")
        << QStringList{"press 15 10 5", "move 17 10 6"} << "none";
    QTest::newRow("no press, no drag") << QStringList{"move 40 10 9"} << "none";
    QTest::newRow("released: no drag")
        << QStringList{"press 10 10 5", "release", "move 40 10 9"} << "none";
}

void CaretKeysTest::pointer() {
    QFETCH(QStringList, steps);
    QFETCH(QString, selection);
    PointerDrag drag;
    std::optional<PointerDrag::Selection> last;
    for (const QString& step : steps) {
        const QStringList words = step.split(QLatin1Char(' '));
        const QPoint point(words.value(1).toInt(), words.value(2).toInt());
        const int byte = words.value(3).toInt();
        if (words[0] == QLatin1String("press")) {
            drag.press(point, byte);
        } else if (words[0] == QLatin1String("move")) {
            last = drag.moveTo(point, byte, 4);
        } else {
            drag.release();
        }
    }
    QCOMPARE(last ? QStringLiteral("%1-%2").arg(last->anchor).arg(last->caret)
                  : QStringLiteral("none"),
             selection);
}

QTEST_GUILESS_MAIN(CaretKeysTest)
#include "tst_caretkeys.moc"

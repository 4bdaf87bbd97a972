// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpText.h"
#include "PaneLinePainter.h"
#include "WindowHarness.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QFontDatabase>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {

QByteArray counting(int size) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i) {
        bytes.append(char(i & 0xFF));
    }
    return bytes;
}

void scrollToLine(DumpPane* pane, int line) {
    pane->verticalScrollBar()->setValue(line - 1);
    WindowHarness::settle();
}

int firstLine(DumpPane* pane, int charsPerLine) {
    return pane->firstVisibleChar() / charsPerLine + 1;
}

// The colour painted under byte `byte` (in view), in its first cell's corner, where no letter is.
QRgb paintedUnder(DumpPane* pane, int byte) {
    const QRect cell = pane->characterRect(byte * pane->charsPerByte());
    return pane->viewport()->grab().toImage().pixel(cell.topLeft() + QPoint(1, 1));
}

} // namespace

class DumpViewTest : public QObject {
    Q_OBJECT

private slots:
    void visualLinesHoldExactColumns_data();
    void visualLinesHoldExactColumns();
    void positionsCountTheDumpText_data();
    void positionsCountTheDumpText();
    void clickPicksTheCharacterUnderThePointer_data();
    void clickPicksTheCharacterUnderThePointer();
    void bytesShowAsMapped();
    void hexSelectionMirrorsIntoAscii_data();
    void hexSelectionMirrorsIntoAscii();
    void asciiSelectionMirrorsWholeGroups();
    void scrollingFollowsAndWritesAddresses();
    void pointerMovementChoosesTheLeader();
    void panelsToggleBetweenHexAndDecimal();
    void stripHeaderRendersFromTheCode();
    void emptyRangeLeavesEmptyPanes();
    void unwritableTemporaryFolderStillShowsTheImage();
    void typingOverBytesKeepsTheView();
};

void DumpViewTest::visualLinesHoldExactColumns_data() {
    // Whatever the monospace font and its size, the dump is lettered in 8 x 15 cells.
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("pointSize");
    QTest::newRow("the system's fixed font") << QString() << 8.25;
    QTest::newRow("the system's fixed font, large") << QString() << 14.0;
    QTest::newRow("DejaVu Sans Mono") << "DejaVu Sans Mono" << 9.0;
    QTest::newRow("Liberation Mono") << "Liberation Mono" << 9.0;
}

void DumpViewTest::visualLinesHoldExactColumns() {
    QFETCH(QString, family);
    QFETCH(qreal, pointSize);
    AddinDocument document;
    DumpState state(document);
    DumpView view(state);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!family.isEmpty()) {
        font.setFamily(family);
    }
    font.setPointSizeF(pointSize);
    view.setDumpFont(font);
    view.show();
    const QByteArray bytes = counting(9000);
    document.load(AddinImage(bytes, QStringLiteral("a.rex")));
    WindowHarness::settle();
    for (DumpPane* pane : {view.scrHEX, view.scrASC}) {
        const int columns = pane == view.scrHEX ? 48 : 16;
        QCOMPARE(pane->dumpText(),
                 pane == view.scrHEX ? DumpText::hexText(bytes) : DumpText::asciiText(bytes));
        // Every character, DEL included, takes one 8-pixel column as the pane draws its lines,
        // and a line fits the pane.
        const QFontMetricsF metrics(pane->font());
        for (int line = 0; line * columns < pane->dumpLength(); ++line) {
            const QString text = pane->dumpText().mid(line * columns, columns);
            const qreal width = metrics.horizontalAdvance(text);
            QVERIFY2(qAbs(width - text.size() * 8) < 0.5,
                     qPrintable(QStringLiteral("line %1: %2").arg(line).arg(width)));
            QVERIFY(width <= pane->viewport()->width());
        }
        QCOMPARE(pane->characterRect(columns + 1).topLeft(), QPoint(8, 15));
        // Fifteen whole lines are in view, and no more.
        const qreal room = pane->viewport()->height();
        QVERIFY2(room >= 15 * 15 && room < 16 * 15, qPrintable(QString::number(room / 15)));
    }
}

void DumpViewTest::positionsCountTheDumpText_data() {
    // A selection in characters stands for the bytes whose groups it touches, and shows as
    // whole groups.
    QTest::addColumn<bool>("hex");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("shownStart");
    QTest::addColumn<int>("shownLength");
    QTest::newRow("hex, inside a line") << true << 3 << 9 << 3 << 9;
    QTest::newRow("hex, part of a group") << true << 7 << 4 << 6 << 6;
    QTest::newRow("hex, across a line break") << true << 42 << 12 << 42 << 12;
    QTest::newRow("hex, to the end") << true << 3 * 8192 - 5 << 5 << 3 * 8190 << 6;
    QTest::newRow("ascii, across a line break") << false << 14 << 4 << 14 << 4;
    QTest::newRow("ascii, caret at a line start") << false << 64 << 0 << 64 << 0;
}

void DumpViewTest::positionsCountTheDumpText() {
    QFETCH(bool, hex);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, shownStart);
    QFETCH(int, shownLength);
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    DumpPane* pane = hex ? h.hexPane() : h.asciiPane();
    pane->setFocus();
    pane->select(start, length);
    QCOMPARE(pane->selectionStart(), shownStart);
    QCOMPARE(pane->selectionLength(), shownLength);
    // Copy takes the leading pane's text as it shows it, with no line breaks.
    if (length > 0) {
        QApplication::clipboard()->clear();
        WindowHarness::settle();
        h.command("mnuEditCopy");
        QCOMPARE(QApplication::clipboard()->text(), pane->dumpText().mid(shownStart, shownLength));
        // Pasted over other bytes, the bytes themselves come back, not the text that shows a
        // space as "_" and a line break as ".".
        const ByteRange selected = h.window->dumpState().selection();
        const QByteArray copied = h.document().image().bytes().mid(selected.start, selected.length);
        h.window->dumpState().select(500, 0);
        h.command("mnuEditPaste");
        QCOMPARE(h.document().image().bytes().mid(500, selected.length), copied);
        h.command("mnuEditUndo");
        pane->select(start, length);
    }
    // Shift+Down and Down move exactly one line of the dump.
    const int columns = pane->columns();
    if (shownStart + 2 * columns <= pane->dumpLength()) {
        pane->select(shownStart, 0);
        QTest::keyClick(pane, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(pane->selectionStart(), shownStart);
        QCOMPARE(pane->selectionLength(), columns);
        QTest::keyClick(pane, Qt::Key_Down);
        QCOMPARE(pane->selectionStart(), shownStart + 2 * columns);
    }
}

void DumpViewTest::clickPicksTheCharacterUnderThePointer_data() {
    QTest::addColumn<bool>("hex");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("hex, top left") << true << 0 << 0;
    QTest::newRow("hex, a low digit") << true << 4 << 46;
    QTest::newRow("hex, the space after a group: the next byte") << true << 2 << 5;
    QTest::newRow("ascii, bottom line") << false << 14 << 9;
}

void DumpViewTest::clickPicksTheCharacterUnderThePointer() {
    QFETCH(bool, hex);
    QFETCH(int, row);
    QFETCH(int, column);
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    DumpPane* pane = hex ? h.hexPane() : h.asciiPane();
    // The pane scrolled must lead, or it follows the other one straight back.
    pane->setFocus();
    QTRY_COMPARE(h.dump()->activePane(), pane);
    scrollToLine(pane, 10);
    const qreal advance = 8;
    const qreal pitch = h.dump()->linePitch();
    const QPoint point(int((column + 0.3) * advance), int((row + 0.5) * pitch));
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, Qt::NoModifier, point);
    WindowHarness::settle();
    const bool space = hex && column % 3 == 2;
    QCOMPARE(pane->caretPosition(), (9 + row) * pane->columns() + column + (space ? 1 : 0));
    QCOMPARE(pane->selectionLength(), 0);
    QCOMPARE(pane->firstVisibleChar(), 9 * pane->columns());
}

void DumpViewTest::bytesShowAsMapped() {
    WindowHarness h;
    QByteArray bytes = TestFiles::addin();
    const QByteArray probe("\x20\x2D\x2E\x41\x7F\x80\x00", 7);
    bytes.replace(400, probe.size(), probe);
    h.openAddin(bytes);
    QCOMPARE(h.hexPane()->dumpText().mid(qsizetype(3 * 400), 21),
             QStringLiteral("20 2D 2E 41 7F 80 00 "));
    QCOMPARE(h.asciiPane()->dumpText().mid(400, 7), QString::fromUtf16(u"_\u2013.A\u007F.."));
    QCOMPARE(h.hexPane()->dumpText().size(), 3 * 8192);
    QCOMPARE(h.asciiPane()->dumpText().size(), 8192);
    // The address column starts at the top.
    QCOMPARE(h.addressText(), DumpText::addressLines(0, 224, 16));
}

void DumpViewTest::hexSelectionMirrorsIntoAscii_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("positionPanel");
    QTest::addColumn<QString>("lengthPanel");
    QTest::newRow("inside a group") << 7 << 4 << 2 << 2 << "$2"
                                    << "$2";
    QTest::newRow("one group") << 0 << 3 << 0 << 1 << "$0"
                               << "$1";
    QTest::newRow("caret only") << 78 << 0 << 26 << 0 << "$1A"
                                << "$0";
    QTest::newRow("long") << 30 << 100 << 10 << 34 << "$A"
                          << "$22";
}

void DumpViewTest::hexSelectionMirrorsIntoAscii() {
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, position);
    QFETCH(int, bytes);
    QFETCH(QString, positionPanel);
    QFETCH(QString, lengthPanel);
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    QCOMPARE(h.dump()->activePane(), h.hexPane());
    h.hexPane()->select(start, length);
    WindowHarness::settle();
    QCOMPARE(h.asciiPane()->selectionStart(), position);
    QCOMPARE(h.asciiPane()->selectionLength(), bytes);
    QCOMPARE(h.panelText(QStringLiteral("ctPos")), positionPanel);
    QCOMPARE(h.panelText(QStringLiteral("SelLen")), lengthPanel);
    // The hex pane shows the bytes as whole groups.
    QCOMPARE(h.hexPane()->selectionStart(), 3 * position);
    QCOMPARE(h.hexPane()->selectionLength(), 3 * bytes);
}

void DumpViewTest::asciiSelectionMirrorsWholeGroups() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    h.asciiPane()->setFocus();
    QTRY_COMPARE(h.dump()->activePane(), h.asciiPane());
    h.asciiPane()->select(5, 3);
    WindowHarness::settle();
    QCOMPARE(h.hexPane()->selectionStart(), 15);
    QCOMPARE(h.hexPane()->selectionLength(), 9);
    h.command("mnuEditCopy");
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("cat"));
    h.command("mnuEditCopyHex");
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("63 61 74"));
}

void DumpViewTest::scrollingFollowsAndWritesAddresses() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    scrollToLine(h.hexPane(), 3);
    QCOMPARE(h.hexPane()->firstVisibleChar(), 96);
    QCOMPARE(firstLine(h.asciiPane(), 16), 3);
    QCOMPARE(h.addressText(), DumpText::addressLines(0x20, 0x100, 16));
    QVERIFY(h.addressText().startsWith(QStringLiteral("0020\r")));
    QVERIFY(h.addressText().endsWith(QStringLiteral("0100\r")));

    // Keyboard movement in the leader scrolls the follower along.
    QTest::keyClick(h.hexPane(), Qt::Key_End, Qt::ControlModifier);
    WindowHarness::settle();
    const int last = firstLine(h.hexPane(), 48);
    QCOMPARE(last, 512 - 15 + 1);
    QCOMPARE(firstLine(h.asciiPane(), 16), last);
    QCOMPARE(h.addressText().left(4),
             QString::number((last - 1) * 16, 16).toUpper().rightJustified(4, '0'));
}

void DumpViewTest::pointerMovementChoosesTheLeader() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    h.hexPane()->select(7, 4);
    WindowHarness::settle();
    QCOMPARE(h.asciiPane()->selectionLength(), 2);

    // Moving over the ASCII pane, without a click, hands it the lead; its selection (2, 2)
    // then comes back into the hex pane as whole groups.
    QTest::mouseMove(h.asciiPane()->viewport(), QPoint(20, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20),
                     h.asciiPane()->viewport()->mapToGlobal(QPointF(20, 20)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(h.asciiPane()->viewport(), &move);
    WindowHarness::settle();
    QCOMPARE(h.dump()->activePane(), h.asciiPane());
    QCOMPARE(h.hexPane()->selectionStart(), 6);
    QCOMPARE(h.hexPane()->selectionLength(), 6);

    // The frame around the hex pane, its column header included, hands the lead back.
    QWidget* header = h.window->findChild<QWidget*>(QStringLiteral("Label1"));
    QMouseEvent overHeader(QEvent::MouseMove, QPointF(5, 5), header->mapToGlobal(QPointF(5, 5)),
                           Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(header, &overHeader);
    WindowHarness::settle();
    QCOMPARE(h.dump()->activePane(), h.hexPane());
}

void DumpViewTest::panelsToggleBetweenHexAndDecimal() {
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    h.hexPane()->select(78, 0);
    WindowHarness::settle();
    StatusPanels* bar = h.window->statusPanels();
    QCOMPARE(h.panelText(QStringLiteral("totByte")), QStringLiteral("$2000"));
    QTest::mouseClick(bar->panel(QStringLiteral("totByte")), Qt::LeftButton);
    QCOMPARE(h.panelText(QStringLiteral("totByte")), QStringLiteral("8192"));
    QCOMPARE(h.panelText(QStringLiteral("ctPos")), QStringLiteral("$1A"));
    QTest::mouseClick(bar->panel(QStringLiteral("ctPos")), Qt::LeftButton);
    QCOMPARE(h.panelText(QStringLiteral("ctPos")), QStringLiteral("26"));
    QTest::mouseClick(bar->panel(QStringLiteral("totByte")), Qt::LeftButton);
    QCOMPARE(h.panelText(QStringLiteral("totByte")), QStringLiteral("$2000"));
    QCOMPARE(bar->panel(QStringLiteral("totByte"))->base(), NumberForm::Base::Hex);
    QCOMPARE(bar->panel(QStringLiteral("ctPos"))->base(), NumberForm::Base::Decimal);
}

void DumpViewTest::stripHeaderRendersFromTheCode() {
    WindowHarness h;
    const QByteArray bytes = TestFiles::addin();
    h.openAddin(bytes);
    QTest::mouseClick(h.stripBox(), Qt::LeftButton);
    WindowHarness::settle();
    QVERIFY(h.stripBox()->isChecked());
    QCOMPARE(h.hexPane()->dumpText(), DumpText::hexText(QByteArrayView(bytes).sliced(205)));
    QCOMPARE(h.asciiPane()->dumpText().size(), 8192 - 205);
    QCOMPARE(h.hexPane()->selectionStart(), 0);
    QVERIFY(h.hexPane()->hasFocus());
    // Opening another file keeps the header stripped.
    h.openAddin(TestFiles::addin("Other", "Other text!"), QStringLiteral("other.rex"));
    QCOMPARE(h.asciiPane()->dumpText().size(), 8192 - 206);
    QTest::mouseClick(h.stripBox(), Qt::LeftButton);
    WindowHarness::settle();
    QCOMPARE(h.asciiPane()->dumpText().size(), 8192);
}

void DumpViewTest::emptyRangeLeavesEmptyPanes() {
    WindowHarness h;
    // A data file that is nothing but its 22-byte class line.
    const QByteArray bytes = QByteArray("ApplicationName:DATA\r\n");
    const QString path = h.files.write(QStringLiteral("data.DS2"), bytes);
    h.open(path, Prompts::Answer::No);
    QCOMPARE(h.asciiPane()->dumpText().size(), 22);
    QTest::mouseClick(h.stripBox(), Qt::LeftButton);
    WindowHarness::settle();
    QVERIFY(h.hexPane()->dumpText().isEmpty());
    QVERIFY(h.asciiPane()->dumpText().isEmpty());
    QCOMPARE(QFileInfo(h.dumpFiles->hexPath()).size(), 0);
    QCOMPARE(QFileInfo(h.dumpFiles->asciiPath()).size(), 0);
    QCOMPARE(h.window->windowTitle(), QStringLiteral("Mobrin : ") + path);
}

void DumpViewTest::unwritableTemporaryFolderStillShowsTheImage() {
    TestFiles scratch;
    const QString folder = scratch.path(QStringLiteral("render"));
    QVERIFY(QDir().mkdir(folder));
    WindowHarness h(std::make_unique<DumpFiles>(folder));
    const QByteArray original = TestFiles::addin();
    h.openAddin(original);
    QCOMPARE(QFileInfo(h.dumpFiles->hexPath()).size(), 3 * 8192);

    // The folder is replaced by a plain file: nothing can be written under it any more.
    QVERIFY(QDir(folder).removeRecursively());
    scratch.write(QStringLiteral("render"), "not a folder");
    h.patch(h.box("Aname"), QStringLiteral("Time"));

    QCOMPARE(
        h.prompts.texts(),
        QStringList({"Patch the addin?", "Error opening temporary files!!\r\nNot a directory"}));
    QVERIFY(h.window->isVisible());
    QVERIFY(h.document().isPatched());
    QCOMPARE(h.document().image().bytes().mid(23, 5), QByteArray("Time "));
    // The panes show the patched image all the same, as the header does.
    QCOMPARE(h.asciiPane()->dumpText().mid(23, 5), QStringLiteral("Time_"));
    // Saving still writes the patched image.
    h.command("mnuFileSave");
    QCOMPARE(TestFiles::read(h.document().image().path()).mid(23, 5), QByteArray("Time "));
}

// Keys go to the focused pane and write through the document; the panes repaint in place, the
// header and the menu follow, a refusal is a status note, and Undo takes it back.
void DumpViewTest::typingOverBytesKeepsTheView() {
    WindowHarness h;
    const QByteArray original = TestFiles::addin();
    h.openAddin(original);
    DumpState& state = h.window->dumpState();
    state.select(0x100, 0);
    const int top = state.topLine();
    QVERIFY(top > 1);
    h.hexPane()->setFocus();
    QTest::keyClicks(h.hexPane(), QStringLiteral("ab"));
    WindowHarness::settle();
    QCOMPARE(h.document().image().bytes().at(0x100), char(0xAB));
    QCOMPARE(h.hexPane()->dumpText().mid(3 * 0x100, 3), QStringLiteral("AB "));
    QCOMPARE(h.hexPane()->caretPosition(), 3 * 0x101);
    QCOMPARE(state.topLine(), top);
    QVERIFY(h.hexPane()->hasFocus());
    QCOMPARE(h.window->action(QStringLiteral("mnuEditUndo"))->text(),
             QStringLiteral("&Undo Typing"));
    const QColor base = h.hexPane()->palette().color(QPalette::Base);
    const QRgb changed =
        PaneLinePainter::highlightColour(ByteHighlights::Kind::ChangedSinceSave, base).rgb();
    QCOMPARE(paintedUnder(h.hexPane(), 0x100), changed);
    QCOMPARE(paintedUnder(h.asciiPane(), 0x100), changed);

    // Over the signature in the ASCII pane: the header box and the status bar follow, and no
    // message box stops the typing.
    state.select(0, 0);
    h.asciiPane()->setFocus();
    QTest::keyClick(h.asciiPane(), 'X');
    // A key QTest cannot name: Cyrillic zhe, as a Russian layout types it.
    QKeyEvent zhe(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf16(u"\u0436"));
    QCoreApplication::sendEvent(h.asciiPane(), &zhe);
    WindowHarness::settle();
    QCOMPARE(h.document().image().bytes().at(0), 'X');
    QCOMPARE(h.panelText(QStringLiteral("say")),
             QStringLiteral("\u201C\u0436\u201D has no code in Windows-1252: it was not typed."));
    QVERIFY(h.box("Atype")->text().isEmpty());
    QVERIFY(h.prompts.messages.isEmpty());

    h.command("mnuEditUndo");
    QCOMPARE(h.panelText(QStringLiteral("say")), QString());
    QCOMPARE(h.box("Atype")->text(), QStringLiteral("ADDIN"));
    h.command("mnuEditUndo");
    QCOMPARE(h.document().image().bytes(), original);
    state.select(0x100, 0);
    QCOMPARE(paintedUnder(h.asciiPane(), 0x100), base.rgb());
    // Taken back, yet changed: closing still asks.
    QVERIFY(h.document().isPatched());
    QVERIFY(!h.window->action(QStringLiteral("mnuEditUndo"))->isEnabled());
    QCOMPARE(h.window->action(QStringLiteral("mnuEditRedo"))->text(),
             QStringLiteral("&Redo Typing"));
}

QTEST_MAIN(DumpViewTest)
#include "tst_dumpview.moc"

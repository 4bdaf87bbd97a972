// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpText.h"
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
    view.showTexts(DumpText::hexText(bytes), DumpText::asciiText(bytes));
    WindowHarness::settle();
    const qreal advance = 8;
    for (DumpPane* pane : {view.scrHEX, view.scrASC}) {
        const int columns = pane == view.scrHEX ? 48 : 16;
        QCOMPARE(pane->document()->blockCount(), 9000 / 16 + 1);
        QCOMPARE(pane->dumpText(),
                 pane == view.scrHEX ? DumpText::hexText(bytes) : DumpText::asciiText(bytes));
        QAbstractTextDocumentLayout* layout = pane->document()->documentLayout();
        for (QTextBlock block = pane->document()->firstBlock(); block.isValid();
             block = block.next()) {
            layout->blockBoundingRect(block); // lays the block out
            QCOMPARE(block.layout()->lineCount(), 1);
            const int length = qMin(columns, pane->dumpLength() - block.blockNumber() * columns);
            QCOMPARE(block.length() - 1, length);
            // Every character, DEL included, takes one column, and the line fits the pane.
            const qreal width = block.layout()->lineAt(0).cursorToX(length);
            QVERIFY2(qAbs(width - length * advance) < 0.5,
                     qPrintable(QStringLiteral("line %1: %2").arg(block.blockNumber()).arg(width)));
            QVERIFY(width <= pane->viewport()->width());
        }
        // The caret at the end of a line, after its last character, moves nothing sideways.
        pane->select(0, 0);
        QTest::keyClick(pane, Qt::Key_End);
        QCOMPARE(pane->selectionStart(), columns);
        QCOMPARE(pane->horizontalScrollBar()->value(), 0);
        // Fifteen whole lines are in view, and no more.
        const qreal pitch = layout->blockBoundingRect(pane->document()->firstBlock()).height();
        QCOMPARE(pitch, 15.0);
        const qreal room = pane->viewport()->height();
        QVERIFY2(room >= 15 * pitch && room < 16 * pitch,
                 qPrintable(QString::number(room / pitch)));
    }
}

void DumpViewTest::positionsCountTheDumpText_data() {
    QTest::addColumn<bool>("hex");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("hex, inside a line") << true << 3 << 9;
    QTest::newRow("hex, across a line break") << true << 42 << 12;
    QTest::newRow("hex, a whole line") << true << 48 << 48;
    QTest::newRow("hex, across many lines") << true << 100 << 1000;
    QTest::newRow("hex, to the end") << true << 3 * 8192 - 5 << 5;
    QTest::newRow("ascii, across a line break") << false << 14 << 4;
    QTest::newRow("ascii, ending at a line end") << false << 0 << 32;
    QTest::newRow("ascii, from a line start") << false << 16 << 1;
    QTest::newRow("ascii, caret at a line start") << false << 64 << 0;
}

void DumpViewTest::positionsCountTheDumpText() {
    QFETCH(bool, hex);
    QFETCH(int, start);
    QFETCH(int, length);
    WindowHarness h;
    h.openAddin(TestFiles::addin());
    DumpPane* pane = hex ? h.hexPane() : h.asciiPane();
    pane->select(start, length);
    QCOMPARE(pane->selectionStart(), start);
    QCOMPARE(pane->selectionLength(), length);
    const QString expected = pane->dumpText().mid(start, length);
    QCOMPARE(pane->selectedDumpText(), expected);
    // A copy is the dump text itself, with no line breaks from the pane.
    if (length > 0) {
        QApplication::clipboard()->clear();
        pane->copy();
        QCOMPARE(QApplication::clipboard()->text(), expected);
    }
    // Shift+Down and Down move exactly one line of the dump.
    const int columns = pane->columns();
    if (start + 2 * columns <= pane->dumpLength()) {
        pane->select(start, 0);
        QTest::keyClick(pane, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(pane->selectionStart(), start);
        QCOMPARE(pane->selectionLength(), columns);
        QTest::keyClick(pane, Qt::Key_Down);
        QCOMPARE(pane->selectionStart(), start + 2 * columns);
    }
}

void DumpViewTest::clickPicksTheCharacterUnderThePointer_data() {
    QTest::addColumn<bool>("hex");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::newRow("hex, top left") << true << 0 << 0;
    QTest::newRow("hex, last column") << true << 4 << 47;
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
    QCOMPARE(pane->selectionStart(), (9 + row) * pane->columns() + column);
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
    // The leader's own selection is left as the user made it.
    QCOMPARE(h.hexPane()->selectionStart(), start);
    QCOMPARE(h.hexPane()->selectionLength(), length);
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
    QCOMPARE(h.hexPane()->selectedDumpText(), QStringLiteral("63 61 74 "));
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

QTEST_MAIN(DumpViewTest)
#include "tst_dumpview.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// (b) Open, parse, render and first sync of a 9000-byte add-in, per operation, in the real
// main window (offscreen), and the same path taken apart step by step to show where the time
// goes; then a typed digit to its painted byte and 1,000 undos with the window's views open;
// then a step into with the Run window open, from the key to the window and the dump updated.
// Prints Markdown table rows.
#include "AddinDocument.h"
#include "AddinHeader.h"
#include "AddinImage.h"
#include "ByteRange.h"
#include "CodeListing.h"
#include "CodeListingWindow.h"
#include "DumpFiles.h"
#include "DumpPane.h"
#include "DumpText.h"
#include "DumpView.h"
#include "MainWindow.h"
#include "Prompts.h"
#include "RunWindow.h"
#include "Timing.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Timing::row;
using Timing::timed;

// Answers nothing: a 9000-byte add-in asks no question, and one that came would be counted.
class SilentPrompts : public Prompts {
public:
    Answer ask(const Message& message) override {
        ++questions;
        return message.defaultButton;
    }
    std::optional<QString> chooseFile(const FileRequest&) override { return chosen; }
    std::optional<QString> askText(const TextRequest&) override { return std::nullopt; }
    int questions = 0;
    std::optional<QString> chosen; // the file a file dialog returns
};

CodeListingWindow* listingWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* listing = qobject_cast<CodeListingWindow*>(window)) {
            return listing;
        }
    }
    return nullptr;
}

QByteArray addin9000() {
    QByteArray icon;
    for (int i = 0; i < AddinHeader::kIconBytes; ++i) {
        icon.append(char(i * 37));
    }
    QByteArray bytes = buildAddinHeader("ADDIN", "Clock", "Shows time", 0x1F00, 0, icon);
    for (int i = 0; bytes.size() < 8000; ++i) {
        bytes.append(char(i % 251));
    }
    bytes.append(9000 - bytes.size(), char(0xFF));
    return bytes;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

// bench_open               runs the benchmark
// bench_open --write-addin PATH   only writes the 9000-byte add-in it opens, for other benchmarks
int main(int argc, char* argv[]) {
    const QByteArray bytes = addin9000();
    if (argc == 3 && QByteArrayView(argv[1]) == "--write-addin") {
        return write(QString::fromLocal8Bit(argv[2]), bytes) ? 0 : 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("clock9000.rex"));
    if (!write(path, bytes)) {
        return 1;
    }

    SilentPrompts prompts;
    DumpFiles dumpFiles;
    MainWindow window(prompts, dumpFiles);
    window.show();
    QApplication::processEvents();

    // The whole path as the user gets it: the queued Open, then the views, which follow at the
    // end of the turn. Painting is measured on its own below ("the panes' share"), as before.
    window.setUpdatesEnabled(false);
    row("(b) open + parse + render + first sync, 9000 bytes", timed([&] {
            window.openFile(path);
            QCoreApplication::processEvents();
        }),
        "under 1 ms");
    window.setUpdatesEnabled(true);
    if (prompts.questions != 0 || window.document().image().bytes() != bytes) {
        std::fprintf(stderr, "the add-in did not open as expected\n");
        return 1;
    }

    // The same steps one by one.
    row("  read the file", timed([&] { AddinImage::readFile(path, bytes.size()); }));
    row("  parse the header", timed([&] { AddinHeader::parse(bytes); }));
    QAction* properties = window.action(QStringLiteral("mnuFileProperties"));
    row("  header fields and icon (Properties)", timed([&] {
            properties->trigger();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        }));
    QString hex;
    QString ascii;
    row("  dump texts", timed([&] {
            hex = DumpText::hexText(bytes);
            ascii = DumpText::asciiText(bytes);
        }));
    row("  temporary files out and back", timed([&] { dumpFiles.roundTrip(hex, ascii); }));
    DumpView* dump = window.dumpView();
    // The panes take nothing at a render: they paint the lines in view from the bytes.
    row("  the panes' share: paint both, 15 lines each", timed([&] {
            dump->scrHEX->viewport()->repaint();
            dump->scrASC->viewport()->repaint();
        }),
        "under 0.2 ms");

    // The code listing window, from Ctrl+L to its first paint: the queued command builds the
    // window, lists every byte after the header and marks the dump's caret.
    QAction* listingItem = window.action(QStringLiteral("mnuFileListing"));
    const auto openListing = [&] {
        listingItem->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        listingWindow()->repaint();
    };
    const auto closeListing = [&] {
        listingWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    row("(e) Code listing window: Ctrl+L to first paint, 9000 bytes",
        timed(openListing, closeListing), "under 50 ms");
    openListing();
    if (!listingWindow() || listingWindow()->textView()->document()->blockCount() !=
                                listingWindow()->lines().lineCount()) {
        std::fprintf(stderr, "the listing did not open as expected\n");
        return 1;
    }
    const AddinHeader header = AddinHeader::parse(bytes);
    row("  list the code to the image's end",
        timed([&] { CodeListing::ofAddin(bytes, header, true); }));
    CodeListingWindow* listing = listingWindow();
    const QString lines = listing->lines().text().chopped(1);
    row("  the text view takes the lines",
        timed([&] { listing->textView()->setPlainText(lines); }));
    int line = 0;
    row("  a click on a line selects its bytes in the dump", timed([&] {
            QTextCursor cursor(listing->textView()->document()->findBlockByNumber(line));
            listing->textView()->setTextCursor(cursor);
            QCoreApplication::processEvents();
            line = (line + 97) % 5000;
        }));
    int caret = 0;
    row("  a caret move in the dump marks its line", timed([&] {
            dump->scrHEX->select(caret * 3, 0);
            QCoreApplication::processEvents();
            caret = (caret + 1013) % 8000 + 300;
        }));

    // Compare with...: the marks of the differing bytes in both panes, at worst every other
    // byte of the 9000 (4500 runs), then a paint of the lines in view.
    QList<ByteRange> everyOther;
    for (int offset = 0; offset < bytes.size(); offset += 2) {
        everyOther.append({offset, 1});
    }
    ByteHighlights& highlights = window.dumpState().highlights();
    const auto markAndPaint = [&](const QList<ByteRange>& runs) {
        highlights.set(ByteHighlights::Kind::CompareDifference, runs);
        dump->scrHEX->viewport()->repaint();
        dump->scrASC->viewport()->repaint();
    };
    row("(f) Compare: mark 4500 runs in both panes and paint them",
        timed([&] { markAndPaint(everyOther); },
              [&] { highlights.set(ByteHighlights::Kind::CompareDifference, {}); }),
        "under 16 ms");
    row("  paint the panes with 4500 runs marked", timed([&] { markAndPaint(everyOther); }));
    row("  paint the panes without marks", timed([&] { markAndPaint({}); }));

    // Typing: a hex digit in the hex pane, from the key to its byte painted in both panes, with
    // the code listing, the data inspector and a comparison open: each follows once a turn.
    QByteArray other = bytes;
    for (qsizetype at = 300; at < other.size(); at += 50) {
        other[at] = char(~other[at]);
    }
    const QString otherPath = folder.filePath(QStringLiteral("other.rex"));
    if (!write(otherPath, other)) {
        return 1;
    }
    prompts.chosen = otherPath;
    window.action(QStringLiteral("mnuFileCompare"))->trigger();
    window.action(QStringLiteral("mnuFileInspector"))->trigger();
    openListing();
    QCoreApplication::processEvents();
    DumpState& state = window.dumpState();
    state.select(0x400, 0);
    dump->scrHEX->setFocus();
    QKeyEvent digit(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    row("(g) a typed digit to its painted byte, listing, inspector and comparison open", timed([&] {
            QCoreApplication::sendEvent(dump->scrHEX, &digit);
            // The edit runs from the queue, the views follow at the turn's end, and each window
            // paints what changed in it, as the event loop would do it.
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }),
        "under 2 ms");

    // 1,000 steps to take back, each a digit typed somewhere else, with the code listing, the
    // data inspector and the comparison open; then Undo 1,000 times, each run from the queue as
    // its key would, and one turn of the event loop, in which every view follows once.
    QAction* undo = window.action(QStringLiteral("mnuEditUndo"));
    const auto typeSteps = [&] {
        for (int i = 0; i < 1000; ++i) {
            state.select(300 + 7 * i, 0);
            QCoreApplication::sendEvent(dump->scrHEX, &digit);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        }
    };
    typeSteps();
    QElapsedTimer undoing;
    std::vector<double> undoRuns;
    for (int run = 0; run < 5; ++run) {
        undoing.start();
        for (int i = 0; i < 1000; ++i) {
            undo->trigger();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        }
        QCoreApplication::processEvents();
        undoRuns.push_back(double(undoing.nsecsElapsed()) / 1e6);
        typeSteps();
    }
    std::sort(undoRuns.begin(), undoRuns.end());
    row("(h) 1,000 undos, listing, inspector and comparison open", {undoRuns[2], undoRuns[4]},
        "under 50 ms");

    // F11 in the Run window on the 9000-byte add-in whose code starts with a busy loop (a
    // counter in memory, a register counting down, a jump back): the queued step, the listing's
    // marks, the registers, the stack, the memory rows, the counters and the dump's mark, each
    // painted as the event loop would.
    QByteArray looping = bytes;
    const QByteArray loop = QByteArray::fromHex("2100F0 34 0B 78 B1 20FA 18F8");
    looping.replace(AddinHeader::parse(bytes).headSize, int(loop.size()), loop);
    const QString loopingPath = folder.filePath(QStringLiteral("loop9000.rex"));
    if (!write(loopingPath, looping)) {
        return 1;
    }
    DumpFiles runDumpFiles;
    MainWindow runMain(prompts, runDumpFiles);
    runMain.show();
    runMain.openFile(loopingPath);
    QCoreApplication::processEvents();
    runMain.action(QStringLiteral("mnuFileRun"))->trigger();
    QCoreApplication::processEvents();
    RunWindow* run = nullptr;
    for (QWidget* shown : QApplication::topLevelWidgets()) {
        run = run ? run : qobject_cast<RunWindow*>(shown);
    }
    QAction* stepInto = run ? run->findChild<QAction*>(QStringLiteral("mnuRunStepInto")) : nullptr;
    if (!stepInto) {
        std::fprintf(stderr, "the Run window did not open as expected\n");
        return 1;
    }
    row("(i) step into, Run window open: F11 to the window and the dump updated", timed([&] {
            stepInto->trigger();
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
        }),
        "under 2 ms");
}

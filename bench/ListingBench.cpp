// SPDX-License-Identifier: GPL-3.0-or-later
// The code listing of a 9000-byte add-in, per operation: the code map (code told from data),
// as the window works it out again on each typed digit; the listing through the map, with
// the text the window shows, and the listing of before that decodes every byte; finding the
// line that holds a byte, as the window does when the dump's caret moves; the listing with
// labels, as `disasm` prints it; the whole add-in as assembler source. Prints Markdown table
// rows.
//   bench_listing ADDIN [MORE_ADDINS...]
#include "AddinHeader.h"
#include "AddinSource.h"
#include "CodeListing.h"
#include "CodeMap.h"
#include "LabelledListing.h"
#include "Timing.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Timing::row;
using Timing::timed;

volatile int sink = 0; // keeps the optimiser from dropping a result nobody reads

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_listing ADDIN [MORE_ADDINS...]\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const QByteArray bytes = file.readAll();
        const AddinHeader header = AddinHeader::parse(bytes);
        const CodeListing whole = CodeListing::ofAddin(bytes, header, true);
        if (whole.isEmpty()) {
            std::fprintf(stderr, "%s is not an add-in with code\n", argv[i]);
            return 1;
        }
        const QString name = QFileInfo(path).fileName();
        const qsizetype size = bytes.size();

        // The map alone: the window's listing works it out again after every change.
        const CodeMap map = CodeMap::of(bytes, header, {}, true);
        row(QStringLiteral("code map of %1 (%2 bytes) to its end, %3 ranges")
                .arg(name)
                .arg(size)
                .arg(map.ranges().size()),
            timed([&] { sink = int(CodeMap::of(bytes, header, {}, true).ranges().size()); }),
            "under 1 ms (at most 5 ms)");
        // What the window and `disasm --all` do: the map, then every line written as the
        // listing's text.
        row(QStringLiteral("listing of %1 to its end through the map, %2 lines")
                .arg(name)
                .arg(whole.instructions().size()),
            timed([&] { CodeListing::ofAddin(bytes, header, true); }), "under 1 ms");
        // As before the map, and as `disasm --linear --all`: every byte decoded.
        row(QStringLiteral("  linear listing of %1 to its end, %2 lines")
                .arg(name)
                .arg(CodeListing::linear(bytes, header, true).instructions().size()),
            timed([&] { CodeListing::linear(bytes, header, true); }));
        row(QStringLiteral("  instruction holding a byte, all %1 bytes").arg(size), timed([&] {
                int sum = 0;
                for (int offset = whole.firstOffset(); offset < whole.endOffset(); ++offset) {
                    sum += whole.indexAt(offset);
                }
                sink = sum;
            }));
        // `disasm --all`: mapped and decoded again, then written with its label lines and
        // labels.
        const LabelledListing labelled(whole);
        row(QStringLiteral("labelled listing of %1 to its end, %2 lines")
                .arg(name)
                .arg(labelled.lineCount()),
            timed([&] {
                sink = LabelledListing(CodeListing::ofAddin(bytes, header, true)).lineCount();
            }),
            "under 5 ms");
        // `source`: the header, the code to the end of its approximate size through its map,
        // the padding.
        const QByteArray source = AddinSource::of(bytes, header);
        row(QStringLiteral("whole source of %1, %2 lines").arg(name).arg(source.count('\n')),
            timed([&] { sink = int(AddinSource::of(bytes, header).size()); }), "under 1.6 ms");
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Find and Compare on whole add-ins, as the window runs them on each F3 and F7 and after
// "Compare with..." or a patch: a wildcard byte pattern and a text without case searched over
// the whole file, and a full comparison against a changed copy. Prints Markdown table rows.
//   bench_find ADDIN [MORE_ADDINS...]
#include "AddinComparison.h"
#include "ByteSearch.h"
#include "Timing.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

using Timing::row;
using Timing::timed;

volatile qsizetype sink = 0; // keeps the optimiser from dropping a result nobody reads

// The same file with a new name and one byte in every `every` after the header changed: a
// second build of the add-in.
QByteArray changedCopy(const QByteArray& bytes, int every) {
    QByteArray copy = bytes;
    copy.replace(23, 5, "Other");
    for (qsizetype offset = 300; offset < copy.size(); offset += every) {
        copy[offset] = char(~copy[offset]);
    }
    return copy;
}

void searchRow(const QString& name, const QByteArray& bytes, const QString& typed,
               BytePattern::Mode mode) {
    const BytePattern pattern = *BytePattern::parse(typed, mode, false).pattern;
    const ByteRange whole{0, int(bytes.size())};
    const qsizetype matches = ByteSearch::matches(bytes, pattern, whole).size();
    row(QStringLiteral("search of `%1` over %2 (%3 bytes), %4 %5")
            .arg(typed, name)
            .arg(bytes.size())
            .arg(matches)
            .arg(matches == 1 ? "match" : "matches"),
        timed([&] {
            // From the last byte onwards: the search runs over the whole file and wraps.
            const RangeStep step = ByteSearch::find(bytes, pattern, whole, {whole.end(), 0},
                                                    RangeStep::Direction::Forward);
            sink = step.range ? step.range->start : -1;
        }),
        "under 5 ms");
}

void compareRow(const QString& name, const QByteArray& bytes, int every) {
    const QByteArray other = changedCopy(bytes, every);
    row(QStringLiteral("comparison of %1 with a copy, one byte in %2 changed: %3 places")
            .arg(name)
            .arg(every)
            .arg(AddinComparison::of(bytes, other).marks().size()),
        timed([&] { sink = AddinComparison::of(bytes, other).marks().size(); }), "under 5 ms");
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_find ADDIN [MORE_ADDINS...]\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const QByteArray bytes = file.readAll();
        const QString name = QFileInfo(file).fileName();
        searchRow(name, bytes, QStringLiteral("CD ?? 9B"), BytePattern::Mode::Bytes);
        searchRow(name, bytes, QStringLiteral("clock"), BytePattern::Mode::Text);
        compareRow(name, bytes, 64);
        compareRow(name, bytes, 2); // the most runs a file can have
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// A marks file of arbitrary text put on an arbitrary image: a refused file names lines that it
// has; a file read is written back to text that reads as the same marks; the marks placed on
// the image give the code map kinds that never overlap, which the map takes without losing a
// byte of its range, and a source whose lines no comment breaks.
#include "AddinHeader.h"
#include "AddinMarks.h"
#include "AddinSource.h"
#include "CodeMap.h"
#include "FuzzCheck.h"
#include "MarksFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string text = in.ConsumeRandomLengthString(4096);
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const QByteArrayView image(bytes.data(), qsizetype(bytes.size()));

    MarksFile::Parsed parsed =
        MarksFile::parse(QByteArrayView(text.data(), qsizetype(text.size())));
    if (!parsed.ok()) {
        const qsizetype lines = qsizetype(std::count(text.begin(), text.end(), '\n')) + 1;
        int previous = 0;
        for (const MarksFile::Problem& problem : parsed.problems) {
            FUZZ_CHECK(problem.line >= previous && problem.line >= 1 && problem.line <= lines);
            FUZZ_CHECK(!problem.reason.isEmpty());
            previous = problem.line;
        }
        return 0;
    }
    const AddinHeader header = AddinHeader::parse(image);
    const int codeStart = header.complete() && header.isAddin() ? header.headSize : 0;
    AddinMarks& marks = parsed.marks;
    const QByteArray written = MarksFile::write(marks, image, codeStart);
    FUZZ_CHECK(written.isEmpty() == marks.isEmpty());
    const MarksFile::Parsed again = MarksFile::parse(written);
    FUZZ_CHECK(again.ok() && again.marks.marks().size() == marks.marks().size());

    const int unplaced = marks.place(image, codeStart);
    FUZZ_CHECK(unplaced >= 0 && unplaced <= marks.marks().size());
    if (codeStart == 0) {
        return 0;
    }
    const CodeMarks codeMarks = marks.codeMarks(codeStart, int(image.size()));
    int end = codeStart;
    for (const CodeRange& kind : codeMarks.kinds) {
        FUZZ_CHECK(kind.start >= end && kind.end > kind.start && kind.end <= image.size());
        end = kind.end;
    }
    const CodeMap map = CodeMap::of(image, header, codeMarks, true);
    int next = map.firstOffset();
    for (const CodeRange& range : map.ranges()) {
        FUZZ_CHECK(range.start == next && range.end > range.start);
        next = range.end;
    }
    FUZZ_CHECK(next == map.endOffset());
    // The author's comments bring UTF-8, never a control character that would break a line.
    const QByteArray source = AddinSource::of(image, header, false, codeMarks);
    for (const char c : source) {
        FUZZ_CHECK(c == '\n' || c == '\t' || (quint8(c) >= 0x20 && c != 0x7F));
    }
    return 0;
}

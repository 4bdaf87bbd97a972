// SPDX-License-Identifier: GPL-3.0-or-later
// The code map, the code listing, its labels and the whole add-in as source on arbitrary
// images: the map's ranges cover its range without a gap, its labels and references lie in
// it; the listing's lines cover their range without a gap and hold the file's own bytes,
// every target lies in the listing on a line marked as labelled, the labelled lines map to
// lines and back, and the source is ASCII lines, empty only when the image is no complete
// add-in.
#include "AddinHeader.h"
#include "AddinSource.h"
#include "CodeListing.h"
#include "CodeMap.h"
#include "FuzzCheck.h"
#include "LabelledListing.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

void checkListing(QByteArrayView image, const CodeListing& listing) {
    const QList<CodeInstruction>& instructions = listing.instructions();
    int next = listing.firstOffset();
    for (qsizetype i = 0; i < instructions.size(); ++i) {
        const CodeInstruction& instruction = instructions[i];
        FUZZ_CHECK(instruction.offset == next);
        const QByteArrayView bytes = image.sliced(instruction.offset, instruction.length);
        FUZZ_CHECK(listing.bytesOf(int(i)) == bytes);
        FUZZ_CHECK(instruction.bytes() == bytes.first(instruction.bytes().size()));
        if (instruction.padding) {
            // A run of one padding byte, after the code and any run before it.
            FUZZ_CHECK(bytes.count(instruction.code[0]) == bytes.size());
            FUZZ_CHECK(i + 1 == instructions.size() || instructions[i + 1].padding);
        } else if (instruction.kind == CodeKind::Code) {
            FUZZ_CHECK(instruction.length >= 1 &&
                       instruction.length <= CodeInstruction::kMaxLength);
        } else {
            FUZZ_CHECK(instruction.length >= 1 && instruction.data);
        }
        FUZZ_CHECK(listing.indexAt(instruction.offset) == i);
        FUZZ_CHECK(listing.indexAt(instruction.end() - 1) == i);
        if (instruction.target >= 0) {
            const int holder = listing.indexAt(instruction.target);
            FUZZ_CHECK(holder >= 0 && instructions[holder].labelled);
            FUZZ_CHECK(listing.targetOf(int(i)).has_value());
        }
        next = instruction.end();
    }
    FUZZ_CHECK(next == listing.endOffset());

    const LabelledListing labelled(listing);
    FUZZ_CHECK(labelled.text().count(QLatin1Char('\n')) == labelled.lineCount());
    for (qsizetype i = 0; i < instructions.size(); ++i) {
        const int line = labelled.lineOf(int(i));
        FUZZ_CHECK(labelled.instructionAt(line) == i && !labelled.isLabelLine(line));
        // A labelled instruction's line follows its label line.
        FUZZ_CHECK(instructions[i].labelled == (line > 0 && labelled.isLabelLine(line - 1) &&
                                                labelled.instructionAt(line - 1) == i));
    }
}

void checkMap(const CodeMap& map) {
    int next = map.firstOffset();
    for (const CodeRange& range : map.ranges()) {
        FUZZ_CHECK(range.start == next && range.end > range.start);
        FUZZ_CHECK(map.rangeIndexAt(range.start) == map.rangeIndexAt(range.end - 1));
        next = range.end;
    }
    FUZZ_CHECK(next == map.endOffset());
    int previous = -1;
    for (const CodeLabel& label : map.labels()) {
        FUZZ_CHECK(label.offset > previous && label.reasons != 0);
        FUZZ_CHECK(map.rangeIndexAt(label.offset) >= 0);
        previous = label.offset;
    }
    for (const CodeReference& reference : map.references()) {
        FUZZ_CHECK(map.rangeIndexAt(reference.from) >= 0 && map.labelAt(reference.to) != 0);
        FUZZ_CHECK(map.referencesTo(reference.to, reference.to + 1).size() >= 1);
    }
}

void checkSource(QByteArrayView image) {
    const AddinHeader header = AddinHeader::parse(image);
    const QByteArray source = AddinSource::of(image, header);
    FUZZ_CHECK(source.isEmpty() == !(header.complete() && header.isAddin()));
    if (source.isEmpty()) {
        return;
    }
    FUZZ_CHECK(source.endsWith('\n'));
    for (const char c : source) {
        FUZZ_CHECK(c == '\n' || (c >= ' ' && c <= '~') || c == '\t');
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // One listing a run keeps the runs fast: a short range anywhere, or the whole add-in and
    // its source.
    const bool range = in.ConsumeBool();
    const int first = in.ConsumeIntegralInRange(0, 9000);
    const int length = in.ConsumeIntegralInRange(0, 512);
    const auto base = in.ConsumeIntegral<quint16>();
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    const QByteArrayView image(bytes.data(), qsizetype(bytes.size()));

    if (range) {
        checkListing(image, CodeListing::ofRange(image, first, first + length, base));
    } else {
        const CodeMap map = CodeMap::of(image, AddinHeader::parse(image), {}, true);
        checkMap(map);
        checkListing(image, CodeListing::ofMap(image, map));
        checkSource(image);
    }
    return 0;
}

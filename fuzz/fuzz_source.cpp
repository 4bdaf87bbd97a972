// SPDX-License-Identifier: GPL-3.0-or-later
// The code listing, its labels and the whole add-in as source on arbitrary images: the
// instructions and runs of padding cover their range without a gap and hold the file's own
// bytes, every jump's
// target lies in the listing on an instruction marked as labelled, the labelled lines map to
// instructions and back, and the source is ASCII lines, empty only when the image is no
// complete add-in.
#include "AddinHeader.h"
#include "AddinSource.h"
#include "CodeListing.h"
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
        if (instruction.padding) {
            // A run of one padding byte, after the code and any run before it.
            FUZZ_CHECK(bytes.count(instruction.code[0]) == bytes.size());
            FUZZ_CHECK(i + 1 == instructions.size() || instructions[i + 1].padding);
        } else {
            FUZZ_CHECK(instruction.length >= 1 &&
                       instruction.length <= CodeInstruction::kMaxLength);
            FUZZ_CHECK(instruction.bytes() == bytes);
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
        checkListing(image, CodeListing::ofAddin(image, AddinHeader::parse(image), true));
        checkSource(image);
    }
    return 0;
}

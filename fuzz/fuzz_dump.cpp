// SPDX-License-Identifier: GPL-3.0-or-later
// The dump text and the pane arithmetic on arbitrary images and positions: 3 hex characters and
// 1 ASCII character a byte, text that survives the temporary files, pane lines that keep every
// character where the dump text has it, and sync steps that stay inside both panes and agree
// with each other.
#include "AddinHeader.h"
#include "CodePage.h"
#include "DumpText.h"
#include "FuzzCheck.h"
#include "PaneLines.h"
#include "PaneSync.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kReadings = 6;

struct ReadingSeed {
    bool asciiLeads;
    unsigned selStart, selLength, leaderTop, followerTop;
};

void checkRange(QByteArrayView image, QByteArrayView range, bool strip, int headSize) {
    if (!strip || headSize <= 0) {
        FUZZ_CHECK(range.data() == image.data() && range.size() == image.size());
    } else if (headSize >= image.size()) {
        FUZZ_CHECK(range.isEmpty());
    } else {
        FUZZ_CHECK(range.data() == image.data() + headSize);
        FUZZ_CHECK(range.size() == image.size() - headSize);
    }
}

// A pane shows `text` a line per block: each dump position lands on its own character and
// maps back unchanged, and only the line breaks are added.
void checkLines(const QString& text, int columns) {
    const QString document = PaneLines::broken(text, columns);
    const PaneLines lines(columns, int(text.size()));
    FUZZ_CHECK(document.size() == text.size() + lines.lineCount() - 1);
    for (int p = 0; p < text.size(); ++p) {
        const int at = lines.toDocument(p);
        FUZZ_CHECK(document[at] == text[p]);
        FUZZ_CHECK(lines.toDump(at) == p);
    }
    FUZZ_CHECK(lines.toDocument(int(text.size())) == document.size());
    FUZZ_CHECK(lines.toDump(int(document.size())) == text.size());
}

void checkTexts(QByteArrayView range, const QString& hex, const QString& ascii) {
    FUZZ_CHECK(hex.size() == 3 * range.size());
    FUZZ_CHECK(ascii.size() == range.size());
    for (qsizetype i = 0; i < range.size(); ++i) {
        const auto byte = quint8(range[i]);
        FUZZ_CHECK(hex[3 * i] == QLatin1Char(kHexDigits[byte >> 4]));
        FUZZ_CHECK(hex[3 * i + 1] == QLatin1Char(kHexDigits[byte & 0x0F]));
        FUZZ_CHECK(hex[3 * i + 2] == QLatin1Char(' '));
        // Spaces and hyphens show as "_" and an en dash.
        FUZZ_CHECK(ascii[i] != QLatin1Char(' ') && ascii[i] != QLatin1Char('-'));
        FUZZ_CHECK(ascii[i] == DumpText::asciiChar(byte));
    }
    checkLines(hex, DumpText::kHexCharsPerLine);
    checkLines(ascii, DumpText::kBytesPerLine);
    // The panes load the text back from single-byte temporary files.
    FUZZ_CHECK(CodePage::decode(CodePage::encode(hex)) == hex);
    FUZZ_CHECK(CodePage::decode(CodePage::encode(ascii)) == ascii);
}

// Four upper-case hex digits and a carriage return per line, for the given 16-bit addresses.
void checkAddresses(const QString& lines, int first, int count, int step) {
    FUZZ_CHECK(lines.size() == 5 * qsizetype(count));
    for (int i = 0; i < count; ++i) {
        const QStringView line = QStringView(lines).mid(5 * i, 5);
        FUZZ_CHECK(line[4] == QLatin1Char('\r'));
        const int value = (first + i * step) & 0xFFFF;
        for (int digit = 0; digit < 4; ++digit) {
            FUZZ_CHECK(line[digit] == QLatin1Char(kHexDigits[(value >> (12 - 4 * digit)) & 0xF]));
        }
    }
}

void checkSync(int bytes, FuzzedDataProvider& in) {
    PaneSync sync;
    std::optional<PaneSync::Pane> lastLeader;
    int lastLine = 0;
    int lastPosition = 0;
    int lastLength = 0;
    for (int k = 0; k < kReadings; ++k) {
        const ReadingSeed seed{in.ConsumeBool(), in.ConsumeIntegral<unsigned>(),
                               in.ConsumeIntegral<unsigned>(), in.ConsumeIntegral<unsigned>(),
                               in.ConsumeIntegral<unsigned>()};
        const PaneSync::Pane leader = seed.asciiLeads ? PaneSync::Pane::Ascii : PaneSync::Pane::Hex;
        const PaneSync::Pane follower =
            seed.asciiLeads ? PaneSync::Pane::Hex : PaneSync::Pane::Ascii;
        const int leaderChars = bytes * PaneSync::charsPerByte(leader);
        const int followerChars = bytes * PaneSync::charsPerByte(follower);

        // What a pane can report: a selection inside its text, a top-left character at the
        // start of one of its visual lines.
        PaneSync::Reading reading;
        reading.leader = leader;
        reading.selStart = int(seed.selStart % unsigned(leaderChars + 1));
        reading.selLength = int(seed.selLength % unsigned(leaderChars - reading.selStart + 1));
        const int leaderLine = PaneSync::charsPerLine(leader);
        const int followerLine = PaneSync::charsPerLine(follower);
        reading.leaderTopChar =
            int(seed.leaderTop % unsigned(leaderChars + 1)) / leaderLine * leaderLine;
        reading.followerTopChar =
            int(seed.followerTop % unsigned(followerChars + 1)) / followerLine * followerLine;

        const PaneSync::Step step = sync.step(reading);
        const int perByte = PaneSync::charsPerByte(leader);

        // Dump offsets: the byte under the selection start, whole bytes covering its length.
        FUZZ_CHECK(step.position * perByte <= reading.selStart);
        FUZZ_CHECK(reading.selStart < (step.position + 1) * perByte);
        FUZZ_CHECK(step.length * perByte >= reading.selLength);
        FUZZ_CHECK(step.length * perByte < reading.selLength + perByte);
        FUZZ_CHECK(step.position + step.length <= bytes);

        FUZZ_CHECK(step.firstLine == reading.leaderTopChar / leaderLine + 1);
        FUZZ_CHECK(step.firstLine - step.scrollFollowerBy ==
                   reading.followerTopChar / followerLine + 1);

        // A new leader starts from line 0 and an empty selection at offset 0: the address
        // column is always rewritten, the selection mirrored unless it is empty at offset 0.
        const bool newLeader = lastLeader != leader;
        if (newLeader) {
            lastLine = 0;
            lastPosition = 0;
            lastLength = 0;
        }
        FUZZ_CHECK(step.addressFirstLine.has_value() == (step.firstLine != lastLine));
        if (step.addressFirstLine) {
            FUZZ_CHECK(*step.addressFirstLine == step.firstLine);
            checkAddresses(DumpText::addressLinesFrom(step.firstLine), (step.firstLine - 1) * 16,
                           DumpText::kLinesInView, DumpText::kBytesPerLine);
        }
        const bool moved = step.position != lastPosition || step.length != lastLength;
        FUZZ_CHECK(step.followerSelection.has_value() == moved);
        if (step.followerSelection) {
            // The mirror covers the same bytes, whole groups in the hex pane, inside its text.
            const int factor = PaneSync::charsPerByte(follower);
            FUZZ_CHECK(step.followerSelection->start == step.position * factor);
            FUZZ_CHECK(step.followerSelection->length == step.length * factor);
            FUZZ_CHECK(step.followerSelection->start + step.followerSelection->length <=
                       followerChars);
        }
        lastLeader = leader;
        lastLine = step.firstLine;
        lastPosition = step.position;
        lastLength = step.length;
    }
}

void checkAddressLines(FuzzedDataProvider& in) {
    // Any 16-bit start, a small step either way and an end up to a few hundred lines on (a
    // 9000-byte image has 563), possibly between two addresses or past the 16-bit range.
    const int start = in.ConsumeIntegralInRange<int>(-32768, 32767);
    const int step = in.ConsumeIntegralInRange<int>(-64, 64);
    const int lines = in.ConsumeIntegralInRange<int>(-2, 600);
    const int within = in.ConsumeIntegralInRange<int>(0, 63);
    const int end = qBound(
        -32768, start + step * lines + (step < 0 ? -1 : 1) * (within % (qAbs(step) + 1)), 32767);
    const QString text = DumpText::addressLines(start, end, step);
    // The 16-bit loop: no pass when the start is already past the end.
    int count = 0;
    if (step != 0) {
        for (int a = start; step > 0 ? a <= end : a >= end; a += step) {
            ++count;
        }
    }
    checkAddresses(text, start, count, step);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool strip = in.ConsumeBool();
    const int anyHeadSize = in.ConsumeIntegralInRange<int>(-16, 10000);
    checkAddressLines(in);
    // The image is whatever is left; positions come from the end of the input.
    const size_t imageSize = in.ConsumeIntegralInRange<size_t>(0, 9000);
    const std::string bytes = in.ConsumeBytesAsString(imageSize);
    const QByteArrayView image(bytes.data(), qsizetype(bytes.size()));

    const AddinHeader header = AddinHeader::parse(image);
    for (const int headSize : {header.headSize, anyHeadSize}) {
        const QByteArrayView range = DumpText::renderedRange(image, strip, headSize);
        checkRange(image, range, strip, headSize);
        const QString hex = DumpText::hexText(range);
        const QString ascii = DumpText::asciiText(range);
        checkTexts(range, hex, ascii);
    }
    checkSync(int(image.size()), in);
    return 0;
}

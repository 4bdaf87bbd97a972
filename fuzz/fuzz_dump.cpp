// SPDX-License-Identifier: GPL-3.0-or-later
// The dump text and the dump's state on arbitrary images and positions: 3 hex characters and
// 1 ASCII character a byte, text that survives the temporary files, pane lines that keep every
// character where the dump text has it, and a caret, a selection and edits that stay inside the
// dump and can all be taken back.
#include "AddinDocument.h"
#include "AddinHeader.h"
#include "CodePage.h"
#include "DumpState.h"
#include "DumpText.h"
#include "EditCommands.h"
#include "FuzzCheck.h"
#include "PaneLines.h"
#include "Prompts.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kSteps = 12;

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

// Answers no question: Fill is left alone.
class NoPrompts : public Prompts {
public:
    Answer ask(const Message& message) override { return message.defaultButton; }
    std::optional<QString> chooseFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> askText(const TextRequest&) override { return std::nullopt; }
};

// Caret moves, drags, scrolls, typing, pasting, undo and redo on the image: the caret, the
// selection and the first line stay inside the dump, the caret's line is in view after it
// moved, the length never changes, and undoing everything gives the image back.
void checkEditing(QByteArrayView image, bool strip, FuzzedDataProvider& in) {
    NoPrompts prompts;
    AddinDocument document;
    DumpState state(document);
    EditCommands edits(prompts, document, state);
    document.load(AddinImage(image.toByteArray(), QStringLiteral("fuzz.rex")));
    state.setStripHeader(strip);
    const auto size = qsizetype(image.size());
    const auto inDump = [&](int offset) {
        return offset >= state.shownRange().start && offset <= state.shownRange().end();
    };
    for (int k = 0; k < kSteps; ++k) {
        const int a = in.ConsumeIntegralInRange<int>(-20, 9020);
        const int b = in.ConsumeIntegralInRange<int>(-20, 9020);
        switch (in.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
            state.moveCaret(a, b & 1, in.ConsumeBool());
            break;
        case 1:
            state.setCaret(a, b, 1);
            break;
        case 2:
            state.select(a, b);
            break;
        case 3:
            state.setTopLine(a);
            break;
        case 4:
            edits.type(in.ConsumeBool() ? DumpState::Pane::Hex : DumpState::Pane::Ascii,
                       QString(QChar(char16_t(in.ConsumeIntegral<quint16>()))));
            break;
        case 5:
            edits.paste(in.ConsumeBool() ? DumpState::Pane::Hex : DumpState::Pane::Ascii,
                        QString::fromStdString(in.ConsumeRandomLengthString(40)));
            break;
        case 6:
            document.undoStack().undo();
            break;
        default:
            document.undoStack().redo();
        }
        FUZZ_CHECK(document.image().bytes().size() == size);
        FUZZ_CHECK(inDump(state.caret()));
        FUZZ_CHECK(inDump(state.selection().start) && inDump(state.selection().end()));
        FUZZ_CHECK(state.topLine() >= 1 && state.topLine() <= state.lastTopLine());
        FUZZ_CHECK(state.nibble() == 0 || state.nibble() == 1);
    }
    // The caret brought into view: its line (or the last selected byte's) is in view.
    state.moveCaret(in.ConsumeIntegralInRange<int>(-20, 9020), 0, false);
    const int line = (state.caret() - state.dumpStart()) / DumpText::kBytesPerLine + 1;
    FUZZ_CHECK(qMin(line, state.lineCount()) >= state.topLine());
    FUZZ_CHECK(qMin(line, state.lineCount()) < state.topLine() + DumpText::kLinesInView);
    while (document.undoStack().canUndo()) {
        document.undoStack().undo();
    }
    FUZZ_CHECK(document.image().bytes() == image);
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
    checkEditing(image, strip, in);
    return 0;
}

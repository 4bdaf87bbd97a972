// SPDX-License-Identifier: GPL-3.0-or-later
// Patching with whatever text: a written patch changes exactly the field's own bytes (the text
// in the code page, then spaces), a refused one changes nothing, and after patching a parsed
// name or description the header parses to the same layout again.
#include "AddinHeader.h"
#include "CodePage.h"
#include "FuzzCheck.h"
#include "HeaderPatch.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

enum class Target { Name, Description, Anywhere };

QString textFrom(const std::string& bytes, int kind) {
    switch (kind) {
    case 0:
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    case 1:
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    default:
        // Raw UTF-16 code units: control characters, lone surrogates, anything.
        return QString(reinterpret_cast<const QChar*>(bytes.data()), qsizetype(bytes.size() / 2));
    }
}

void checkSameLayout(const AddinHeader& before, const AddinHeader& after) {
    FUZZ_CHECK(after.complete());
    FUZZ_CHECK(after.headSize == before.headSize && after.org == before.org);
    FUZZ_CHECK(after.iconStart == before.iconStart && after.icon == before.icon);
    FUZZ_CHECK(after.word1 == before.word1 && after.word2 == before.word2);
    FUZZ_CHECK(after.name->start == before.name->start);
    FUZZ_CHECK(after.name->length() == before.name->length());
    FUZZ_CHECK(after.description->start == before.description->start);
    FUZZ_CHECK(after.description->length() == before.description->length());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const auto target = Target(in.ConsumeIntegralInRange<int>(0, 2));
    const int textKind = in.ConsumeIntegralInRange<int>(0, 2);
    const int anyStart = in.ConsumeIntegralInRange<int>(-16, 10000);
    const int anyLength = in.ConsumeIntegralInRange<int>(-16, 10000);
    const size_t imageSize = in.ConsumeIntegralInRange<size_t>(0, 9000);
    const std::string imageBytes = in.ConsumeBytesAsString(imageSize);
    const QString text = textFrom(in.ConsumeRemainingBytesAsString(), textKind);

    const QByteArray original(imageBytes.data(), qsizetype(imageBytes.size()));
    const AddinHeader header = AddinHeader::parse(original);
    int start = anyStart;
    int length = anyLength;
    bool parsedField = false;
    if (target != Target::Anywhere && header.complete() && header.isAddin()) {
        const HeaderField& field = target == Target::Name ? *header.name : *header.description;
        start = field.start;
        length = field.length();
        parsedField = true;
    }

    QByteArray image = original;
    const HeaderPatch patch = HeaderPatch::apply(image, start, length, text);
    FUZZ_CHECK(image.size() == original.size());
    if (patch.outcome != HeaderPatch::Outcome::Written) {
        FUZZ_CHECK(image == original);
        if (patch.outcome == HeaderPatch::Outcome::Unencodable) {
            FUZZ_CHECK(!patch.character.isEmpty() && text.contains(patch.character));
        }
        return 0;
    }

    // Written: the field lies inside the image, the text fits, and only its bytes changed.
    FUZZ_CHECK(length > 0 && start >= 1 && qsizetype(start) - 1 + length <= original.size());
    FUZZ_CHECK(text.size() <= length && !CodePage::firstUnencodable(text));
    const qsizetype first = start - 1;
    FUZZ_CHECK(image.first(first) == original.first(first));
    FUZZ_CHECK(image.sliced(first + length) == original.sliced(first + length));
    const QString written = CodePage::decode(image.sliced(first, length));
    FUZZ_CHECK(written == text + QString(length - text.size(), QLatin1Char(' ')));

    if (parsedField) {
        // Nothing in the image moves: the next parse finds the same fields in the same places.
        const AddinHeader after = AddinHeader::parse(image);
        checkSameLayout(header, after);
        const HeaderField& field = target == Target::Name ? *after.name : *after.description;
        FUZZ_CHECK(field.text() == written);
    }
    return 0;
}

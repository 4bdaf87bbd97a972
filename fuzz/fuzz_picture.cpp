// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as a picture file: reading never crashes and gives either the 160 icon bytes or a
// sentence saying why not, the same way twice. (A sentence may quote a line break from the
// file; mobrin-cli escapes it.)
#include "FuzzCheck.h"
#include "IconPicture.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const IconPicture picture = IconPicture::fromData(bytes);
    if (picture.converted()) {
        FUZZ_CHECK(picture.icon.size() == 160 && picture.problem.isEmpty());
    } else {
        FUZZ_CHECK(picture.icon.isEmpty() && !picture.problem.isEmpty());
    }
    const IconPicture again = IconPicture::fromData(bytes);
    FUZZ_CHECK(again.outcome == picture.outcome && again.icon == picture.icon &&
               again.problem == picture.problem);
    return 0;
}

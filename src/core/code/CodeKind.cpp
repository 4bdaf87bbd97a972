// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodeKind.h"

#include <array>

namespace {

constexpr std::array<const char*, 6> kNames = {"code",  "text",     "bytes",
                                               "words", "pointers", "padding"};

} // namespace

namespace CodeKinds {

QString name(CodeKind kind) {
    return QLatin1String(kNames.at(size_t(kind)));
}

std::optional<CodeKind> parse(QStringView name) {
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (name.compare(QLatin1String(kNames.at(i)), Qt::CaseInsensitive) == 0) {
            return CodeKind(i);
        }
    }
    return std::nullopt;
}

} // namespace CodeKinds

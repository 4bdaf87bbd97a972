// SPDX-License-Identifier: GPL-3.0-or-later
#include "UnpackedFolder.h"

#include "FilePath.h"

#include <sys/stat.h>

#include <optional>

namespace UnpackedFolder {

namespace {

std::optional<timespec> modified(const QString& path) {
    struct stat info {};
    if (::stat(FilePath::toBytes(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return info.st_mtim;
}

bool later(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

} // namespace

QString staleSource(const QString& folder) {
    const QString source = file(folder, kSource);
    const std::optional<timespec> edited = modified(source);
    if (!edited) {
        return {};
    }
    for (const QString& name : {kHeader, kIcon, kCode}) {
        const QString path = file(folder, name);
        if (const auto read = modified(path); read && later(*edited, *read)) {
            return QStringLiteral("%1 was changed after %2, which build --from reads instead "
                                  "of it: build the add-in from the source with z80asm -o "
                                  "NEW.rex %1")
                .arg(source, path);
        }
    }
    return {};
}

} // namespace UnpackedFolder

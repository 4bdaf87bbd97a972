// SPDX-License-Identifier: GPL-3.0-or-later
#include "UnpackedFolder.h"

#include "ExitCode.h"
#include "FileInput.h"
#include "FilePath.h"
#include "HeaderJson.h"

#include <cerrno>

#include <sys/stat.h>

namespace UnpackedFolder {

namespace {

// Far more than `source` writes for the largest add-in (a few hundred KB): a longer addin.asm
// is not what unpack wrote, and is not read.
constexpr qint64 kMostSourceBytes = 1 << 20;

// When the regular file `path` was last modified; nothing for anything else, which its own
// reader names.
std::optional<timespec> modified(const QString& path) {
    struct stat info {};
    if (::stat(FilePath::toBytes(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return info.st_mtim;
}

bool later(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

Refusal changed(const QString& source, const QString& since) {
    return {ExitCode::kPatchRefused,
            QStringLiteral("%1 was changed after %2, and build --from reads header.json, "
                           "icon.png and code.bin instead of it: build the add-in from the "
                           "source with z80asm -o NEW.rex %1")
                .arg(source, since)};
}

} // namespace

std::optional<Refusal> sourceRefusal(const QString& folder, const QByteArray& recordedDigest) {
    const QString source = file(folder, kSource);
    struct stat info {};
    if (::stat(FilePath::toBytes(source).constData(), &info) != 0) {
        // No source, or a link to none: there is no change to lose.
        if (errno == ENOENT) {
            return std::nullopt;
        }
        return Refusal{ExitCode::kUnreadable,
                       source + QLatin1String(": ") + qt_error_string(errno)};
    }
    if (!S_ISREG(info.st_mode)) {
        return Refusal{ExitCode::kUnreadable, source + QLatin1String(": not a regular file")};
    }
    if (!recordedDigest.isEmpty()) {
        const QString since = QStringLiteral("unpack wrote it");
        if (info.st_size > kMostSourceBytes) {
            return changed(source, since);
        }
        const FileInput read = FileInput::readPart(source, kMostSourceBytes);
        if (!read.ok()) {
            return Refusal{read.exitCode, read.error};
        }
        if (HeaderJson::sourceDigest(read.bytes) != recordedDigest) {
            return changed(source, since);
        }
        return std::nullopt;
    }
    for (const QString& name : {kHeader, kIcon, kCode}) {
        const QString path = file(folder, name);
        if (const auto read = modified(path); read && later(info.st_mtim, *read)) {
            return changed(source, path);
        }
    }
    return std::nullopt;
}

} // namespace UnpackedFolder

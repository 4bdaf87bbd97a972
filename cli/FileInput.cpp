// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileInput.h"

#include "AddinImage.h"
#include "CliOutput.h"
#include "ExitCode.h"
#include "HeaderCheck.h"

#include <cerrno>
#include <fcntl.h>

namespace {

FileInput refused(const QString& path, const QString& why) {
    FileInput input;
    input.exitCode = ExitCode::kUnreadable;
    input.error = path + QLatin1String(": ") + why;
    return input;
}

// A file that could not be read, in the system's words ("Permission denied") when it gave any.
FileInput cannotRead(const QString& path, int error) {
    return refused(path, error != 0
                             ? QStringLiteral("cannot read the file: ") + qt_error_string(error)
                             : QStringLiteral("cannot read the file"));
}

// The refusal of a file that cannot be read at all; nothing when it can be.
std::optional<FileInput> unreadable(const QString& path, const AddinImage::Probe& probe) {
    switch (probe.outcome) {
    case AddinImage::ProbeOutcome::Missing:
        // Anything but a plain absence in the system's words ("Too many levels of symbolic
        // links", "Permission denied").
        return refused(path, probe.error == ENOENT ? QStringLiteral("no such file")
                                                   : qt_error_string(probe.error));
    case AddinImage::ProbeOutcome::NotRegularFile:
        return refused(path, QStringLiteral("not a regular file"));
    case AddinImage::ProbeOutcome::InexactName:
        return refused(path, QStringLiteral("the name may stand for another file"));
    case AddinImage::ProbeOutcome::TooLong:
    case AddinImage::ProbeOutcome::Ok:
        break;
    }
    return std::nullopt;
}

FileInput readFirst(const QString& path, qint64 length, qint64 fileSize) {
    FileInput input;
    FileIdentity identity;
    int error = 0;
    std::optional<QByteArray> bytes = AddinImage::readFile(path, length, &identity, &error);
    if (!bytes) {
        return cannotRead(path, error);
    }
    input.bytes = std::move(*bytes);
    input.fileSize = fileSize;
    input.identity = identity;
    return input;
}

} // namespace

FileInput FileInput::read(const QString& path) {
    const AddinImage::Probe probe = AddinImage::probe(path);
    if (auto refusal = unreadable(path, probe)) {
        return *refusal;
    }
    if (probe.outcome == AddinImage::ProbeOutcome::TooLong) {
        return refused(path, QStringLiteral("file is too long (%1 bytes; an add-in has at most %2)")
                                 .arg(probe.size)
                                 .arg(AddinImage::kMaxFileSize));
    }
    return readFirst(path, probe.size, probe.size);
}

FileInput FileInput::readForCheck(const QString& path) {
    const AddinImage::Probe probe = AddinImage::probe(path);
    if (auto refusal = unreadable(path, probe)) {
        return *refusal;
    }
    return readFirst(path, qMin(probe.size, AddinImage::kMaxFileSize), probe.size);
}

FileInput FileInput::readPart(const QString& path, qint64 most) {
    const AddinImage::Probe probe = AddinImage::probe(path);
    if (auto refusal = unreadable(path, probe)) {
        return *refusal;
    }
    if (probe.size > most) {
        return refused(path, QStringLiteral("file is too long (%1 bytes; at most %2 are read)")
                                 .arg(probe.size)
                                 .arg(most));
    }
    const RegularFile file(path, O_RDONLY);
    if (!file.isOpen()) {
        return cannotRead(path, errno);
    }
    const qint64 size = file.currentSize();
    if (size < 0 || size > most) {
        return cannotRead(path, 0);
    }
    FileInput input;
    input.bytes.resize(size);
    if (!RegularFile::readAll(file.fd(), input.bytes.data(), size, 0)) {
        return cannotRead(path, errno);
    }
    input.fileSize = size;
    input.identity = file.identity();
    return input;
}

int FileInput::fail(std::ostream& err) const {
    return CliOutput::fail(err, exitCode, error);
}

FileInput FileInput::readAddin(const QString& path) {
    FileInput input = read(path);
    if (!input.ok()) {
        return input;
    }
    input.header = AddinHeader::parse(input.bytes);
    if (const QString problem = HeaderCheck::notAddin(input.header); !problem.isEmpty()) {
        input.exitCode = ExitCode::kNotAddin;
        input.error = path + QLatin1String(": ") + problem;
    }
    return input;
}

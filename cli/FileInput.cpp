// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileInput.h"

#include "AddinImage.h"
#include "ExitCode.h"
#include "HeaderCheck.h"

#include <cerrno>

namespace {

FileInput refused(const QString& path, const QString& why) {
    FileInput input;
    input.exitCode = ExitCode::kUnreadable;
    input.error = path + QLatin1String(": ") + why;
    return input;
}

} // namespace

FileInput FileInput::read(const QString& path) {
    const AddinImage::Probe probe = AddinImage::probe(path);
    switch (probe.outcome) {
    case AddinImage::ProbeOutcome::Missing:
        // Anything but a plain absence in the system's words ("Too many levels of symbolic
        // links", "Permission denied").
        return refused(path, probe.error == ENOENT ? QStringLiteral("no such file")
                                                   : qt_error_string(probe.error));
    case AddinImage::ProbeOutcome::NotRegularFile:
        return refused(path, QStringLiteral("not a regular file"));
    case AddinImage::ProbeOutcome::TooLong:
        return refused(path, QStringLiteral("file is too long (%1 bytes; an add-in has at most %2)")
                                 .arg(probe.size)
                                 .arg(AddinImage::kMaxFileSize));
    case AddinImage::ProbeOutcome::InexactName:
        return refused(path, QStringLiteral("the name may stand for another file"));
    case AddinImage::ProbeOutcome::Ok:
        break;
    }
    FileIdentity identity;
    std::optional<QByteArray> bytes = AddinImage::readFile(path, probe.size, &identity);
    if (!bytes) {
        return refused(path, QStringLiteral("cannot read the file"));
    }
    FileInput input;
    input.bytes = std::move(*bytes);
    input.identity = identity;
    return input;
}

FileInput FileInput::readAddin(const QString& path, AddinHeader& header) {
    FileInput input = read(path);
    if (!input.ok()) {
        return input;
    }
    header = AddinHeader::parse(input.bytes);
    if (const QString problem = HeaderCheck::notAddin(header); !problem.isEmpty()) {
        input.exitCode = ExitCode::kNotAddin;
        input.error = path + QLatin1String(": ") + problem;
    }
    return input;
}

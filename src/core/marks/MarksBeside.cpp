// SPDX-License-Identifier: GPL-3.0-or-later
#include "MarksBeside.h"

#include "FilePath.h"
#include "MarksFile.h"
#include "RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A name one longer than the system takes (the add-in's name at its limit, plus ".marks") names
// no file: there is nothing there to read or to remove.
int absentAsNoEntry(int error) {
    return error == ENAMETOOLONG ? ENOENT : error;
}

bool removeFile(const QString& path) {
    return ::unlink(FilePath::toBytes(path).constData()) == 0 || absentAsNoEntry(errno) == ENOENT;
}

} // namespace

namespace MarksBeside {

std::optional<QByteArray> readBytes(const QString& path, int& error) {
    const QByteArray name = FilePath::toBytes(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        error = absentAsNoEntry(errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = EISDIR;
        return std::nullopt;
    }
    const RegularFile file(name, O_RDONLY);
    const qint64 size = file.isOpen() ? file.currentSize() : -1;
    if (size < 0 || size > MarksFile::kMostBytes) {
        error = file.isOpen() ? 0 : errno;
        return std::nullopt;
    }
    QByteArray bytes(size, '\0');
    if (!RegularFile::readAll(file.fd(), bytes.data(), size, 0)) {
        error = errno;
        return std::nullopt;
    }
    return bytes;
}

Found read(const QString& path, QByteArrayView image, int codeStart) {
    int error = 0;
    const std::optional<QByteArray> bytes = readBytes(path, error);
    if (!bytes) {
        if (error == ENOENT) {
            return {};
        }
        return {Found::Outcome::Refused,
                {},
                error == 0 ? QStringLiteral("it is longer than %1 bytes").arg(MarksFile::kMostBytes)
                           : QStringLiteral("it cannot be read: ") + qt_error_string(error),
                0};
    }
    MarksFile::Parsed parsed = MarksFile::parse(*bytes);
    if (!parsed.ok()) {
        return {Found::Outcome::Refused, {}, parsed.problems.first().sentence(), 0};
    }
    const int unplaced = parsed.marks.place(image, codeStart);
    return {Found::Outcome::Read, std::move(parsed.marks), {}, unplaced};
}

FileReplacer::Result save(const QString& path, QByteArrayView bytes,
                          const std::optional<QByteArray>& marks, std::optional<FileIdentity> input,
                          bool* marksFailed) {
    const QString marksPath = MarksFile::besidePath(path);
    bool unused = false;
    bool& failed = marksFailed ? *marksFailed : unused;
    failed = false;
    if (!marks || marks->isEmpty()) {
        const FileReplacer::Result result = FileReplacer::replace(path, bytes, input);
        if (result.written() && marks && !removeFile(marksPath)) {
            failed = true;
            return {FileReplacer::Outcome::Failed, errno};
        }
        return result;
    }
    int error = 0;
    const std::optional<QByteArray> old = readBytes(marksPath, error);
    const FileReplacer::Result marksWritten = FileReplacer::replace(marksPath, *marks, input);
    if (!marksWritten.written()) {
        failed = true;
        return marksWritten;
    }
    const FileReplacer::Result result = FileReplacer::replace(path, bytes, input);
    if (!result.written()) {
        // The add-in stays as it was, and so do its marks.
        if (old) {
            FileReplacer::replace(marksPath, *old);
        } else if (error == ENOENT) {
            removeFile(marksPath);
        }
    }
    return result;
}

} // namespace MarksBeside

// SPDX-License-Identifier: GPL-3.0-or-later
#include "UnpackCommand.h"

#include "AddinHeader.h"
#include "AddinParts.h"
#include "AddinSource.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "DeferredQuitSignals.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "FileOutput.h"
#include "FilePath.h"
#include "HeaderJson.h"
#include "IconPixels.h"
#include "UnpackedFolder.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace UnpackCommand {

const char* const kHelp =
    "Usage: mobrin-cli unpack FILE -o DIR [--force]\n"
    "\n"
    "Writes the add-in's parts into the folder DIR as files an author can edit;\n"
    "'build --from DIR' puts them together again, byte for byte:\n"
    "\n"
    "  header.json   the class text, name, description, both words and the file's\n"
    "                length (and any byte after a CR that is not a line feed)\n"
    "  icon.png      the icon, 40 x 32, as 'icon --png' writes it\n"
    "  code.bin      the code: from the first byte after the header to the end of the\n"
    "                approximate code size (the 0xFF bytes after it are padding)\n"
    "  addin.asm     the whole add-in as assembler source, as 'source' writes it (for\n"
    "                reading and changing; 'build --from' does not read it)\n"
    "\n"
    "  -o, --output DIR   the folder; made when missing (its parent must exist)\n"
    "  --force            replace these files when DIR already holds them\n"
    "\n"
    "The file must be an add-in with a complete header (else exit 4). Nothing is\n"
    "written when one of these files is already in DIR (without --force), or is a\n"
    "device, FIFO or folder, or the add-in itself (exit 6); a failed write takes back\n"
    "the files and the folder it made.\n";

namespace {

struct Part {
    QString name;
    QByteArray bytes;
};

// Every file unpack writes, in this order. A further part of the folder (such as an assembler
// source of the whole add-in) goes into this list, and nowhere else: the checks, the writing
// and the taking back all follow it.
QList<Part> partsOf(QByteArrayView image, const AddinHeader& header) {
    const AddinParts parts = AddinParts::of(image, header);
    return {
        {UnpackedFolder::kHeader, HeaderJson::write(parts)},
        {UnpackedFolder::kIcon, IconPixels::png(parts.icon)},
        {UnpackedFolder::kCode, parts.code},
        {UnpackedFolder::kSource, AddinSource::of(image, header)},
    };
}

bool exists(const QString& path) {
    struct stat info {};
    return ::lstat(FilePath::toBytes(path).constData(), &info) == 0;
}

// Why `path` may not be written, checked before anything is: empty when it may.
QString refusal(const QString& path, bool force, const FileIdentity& input) {
    if (!exists(path)) {
        return {};
    }
    if (!force) {
        return QStringLiteral("already exists; --force replaces it");
    }
    struct stat info {};
    if (::stat(FilePath::toBytes(path).constData(), &info) != 0) {
        return {}; // a link to nothing: the write makes its file
    }
    if (!S_ISREG(info.st_mode)) {
        return QStringLiteral("not a regular file");
    }
    if (FileIdentity::of(info) == input) {
        return QStringLiteral("it is the add-in itself");
    }
    return {};
}

// Makes the folder when it is missing; returns the refusal, or nothing.
QString prepareFolder(const QString& folder, bool& made) {
    const QByteArray name = FilePath::toBytes(folder);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? QString() : QStringLiteral("not a folder");
    }
    if (errno != ENOENT || ::mkdir(name.constData(), 0777) != 0) {
        return QStringLiteral("cannot make the folder");
    }
    made = true;
    return {};
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(QStringLiteral("unpack"), QLatin1String(kHelp));
    command.addValue({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("DIR"));
    command.addFlag({QStringLiteral("force")});
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const QString folder = command.value(QStringLiteral("output"));
    if (folder.isEmpty()) {
        return command.usageError(err, QStringLiteral("missing -o DIR"));
    }
    const QString path = command.file();
    AddinHeader header;
    const FileInput input = FileInput::readAddin(path, header);
    if (!input.ok()) {
        return CliOutput::fail(err, input.exitCode, input.error);
    }
    const QList<Part> parts = partsOf(input.bytes, header);

    const bool force = command.isSet(QStringLiteral("force"));
    for (const Part& part : parts) {
        const QString target = UnpackedFolder::file(folder, part.name);
        // Only the code may be empty; another part is empty when its encoder failed.
        if (part.bytes.isEmpty() && part.name != UnpackedFolder::kCode) {
            return CliOutput::fail(err, ExitCode::kWriteFailed,
                                   target + QLatin1String(": cannot write the file"));
        }
        if (const QString why = refusal(target, force, *input.identity); !why.isEmpty()) {
            return CliOutput::fail(err, ExitCode::kWriteFailed, target + QLatin1String(": ") + why);
        }
    }
    // A signal waits until every part is written or taken back, so that it never leaves half
    // a folder.
    const DeferredQuitSignals held;
    bool madeFolder = false;
    if (const QString why = prepareFolder(folder, madeFolder); !why.isEmpty()) {
        return CliOutput::fail(err, ExitCode::kWriteFailed, folder + QLatin1String(": ") + why);
    }
    QStringList made;
    for (const Part& part : parts) {
        const QString target = UnpackedFolder::file(folder, part.name);
        const bool isNew = !exists(target);
        const QString error =
            FileOutput::write(target, part.bytes, input.identity, QStringLiteral("the file"));
        if (!error.isEmpty()) {
            for (const QString& file : made) {
                ::unlink(FilePath::toBytes(file).constData());
            }
            if (madeFolder) {
                ::rmdir(FilePath::toBytes(folder).constData());
            }
            return CliOutput::fail(err, ExitCode::kWriteFailed, error);
        }
        if (isNew) {
            made.append(target);
        }
    }
    return ExitCode::kOk;
}

} // namespace UnpackCommand

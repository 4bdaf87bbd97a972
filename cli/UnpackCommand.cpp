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
#include "FilePath.h"
#include "FolderWriter.h"
#include "HeaderJson.h"
#include "IconPixels.h"
#include "MarksInput.h"
#include "UnpackedFolder.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace UnpackCommand {

const CommandUsage kUsage{
    "unpack",
    {{"unpack FILE -o DIR [--force] [--marks MARKS]", "the header, icon and code as files"}},
    "Writes the add-in's parts into the folder DIR as files an author can edit;\n"
    "'build --from DIR' puts them together again, byte for byte:\n"
    "\n"
    "  header.json   the class text, name, description, both words and the file's\n"
    "                length (and any byte after a CR that is not a line feed), and\n"
    "                the SHA-256 of addin.asm\n"
    "  icon.png      the icon, 40 x 32, as 'icon --png' writes it\n"
    "  code.bin      the code: from the first byte after the header to the end of the\n"
    "                approximate code size (the 0xFF bytes after it are padding)\n"
    "  addin.asm     the whole add-in as assembler source, as 'source' writes it; to\n"
    "                build from it once changed, 'z80asm -o NEW.rex addin.asm' ('build\n"
    "                --from' does not read it, and refuses once it differs from what\n"
    "                unpack wrote)\n"
    "  addin.marks   with --marks, the author's marks (mobrin(5)) as MARKS holds them;\n"
    "                addin.asm then keeps them as 'source --marks' does, and 'build\n"
    "                --from' writes them beside the add-in it builds\n"
    "\n"
    "  -o, --output DIR   the folder; made when missing (its parent must exist)\n"
    "  --force            replace these files when DIR already holds them\n"
    "  --marks MARKS      the marks file to put into the folder; one with a bad line is\n"
    "                     refused with its line number and reason (exit 3)\n"
    "\n"
    "The files get one modification time. The file must be an add-in with a\n"
    "complete header (else exit 4). Nothing is\n"
    "written when one of these files is already in DIR (without --force), or is a\n"
    "device, FIFO or folder, or the add-in itself (exit 6). All the files are\n"
    "written whole before any takes its name, so a failed write leaves DIR as it was\n"
    "(and takes back the folder it made); a link in DIR is replaced, never written\n"
    "through.\n",
};

namespace {

// Every file unpack writes, in this order. A further part of the folder (such as an assembler
// source of the whole add-in) goes into this list, and nowhere else: the checks, the writing
// and the taking back all follow it.
QList<FolderWriter::File> partsOf(QByteArrayView image, const AddinHeader& header,
                                  const std::optional<MarksInput>& marks) {
    const AddinParts parts = AddinParts::of(image, header);
    const QByteArray source = AddinSource::of(
        image, header, false, marks ? marks->codeMarks(header, int(image.size())) : CodeMarks());
    QList<FolderWriter::File> files{
        {UnpackedFolder::kHeader, HeaderJson::write(parts, HeaderJson::sourceDigest(source))},
        {UnpackedFolder::kIcon, IconPixels::png(parts.icon)},
        {UnpackedFolder::kCode, parts.code},
        {UnpackedFolder::kSource, source},
    };
    if (marks) {
        files.append({UnpackedFolder::kMarks, marks->bytes});
    }
    return files;
}

// Makes the folder when it is missing; returns the refusal, or nothing.
QString prepareFolder(const QString& folder, bool& made) {
    const QByteArray name = FilePath::toBytes(folder);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? QString() : QStringLiteral("not a folder");
    }
    if (errno != ENOENT || ::mkdir(name.constData(), 0777) != 0) {
        return QStringLiteral("cannot make the folder: ") + qt_error_string(errno);
    }
    made = true;
    return {};
}

// The one line that says why nothing was written.
QString refusal(const FolderWriter::Result& result) {
    QString why;
    switch (result.outcome) {
    case FolderWriter::Outcome::Exists:
        why = QStringLiteral("already exists; --force replaces it");
        break;
    case FolderWriter::Outcome::NotRegularFile:
        why = QStringLiteral("not a regular file");
        break;
    case FolderWriter::Outcome::IsInput:
        why = QStringLiteral("it is the add-in itself");
        break;
    case FolderWriter::Outcome::Written:
    case FolderWriter::Outcome::Failed:
        why = result.reason().isEmpty()
                  ? QStringLiteral("cannot write the file")
                  : QStringLiteral("cannot write the file: ") + result.reason();
        break;
    }
    return result.path + QLatin1String(": ") + why;
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addValue({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("DIR"));
    command.addFlag({QStringLiteral("force")});
    command.addValue({QStringLiteral("marks")}, QStringLiteral("MARKS"));
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const QString folder = command.value(QStringLiteral("output"));
    if (folder.isEmpty()) {
        return command.usageError(err, QStringLiteral("missing -o DIR"));
    }
    FileInput input;
    if (const auto stop = command.readAddin(input, err)) {
        return *stop;
    }
    std::optional<MarksInput> marks;
    if (command.isSet(QStringLiteral("marks"))) {
        marks.emplace();
        if (const auto stop = marks->read(command.value(QStringLiteral("marks")), input.bytes,
                                          input.header, err)) {
            return *stop;
        }
    }
    const QList<FolderWriter::File> parts = partsOf(input.bytes, input.header, marks);
    for (const FolderWriter::File& part : parts) {
        // Only the code and the marks may be empty; another part is empty when its encoder
        // failed.
        if (part.bytes.isEmpty() && part.name != UnpackedFolder::kCode &&
            part.name != UnpackedFolder::kMarks) {
            return CliOutput::fail(err, ExitCode::kWriteFailed,
                                   UnpackedFolder::file(folder, part.name) +
                                       QLatin1String(": cannot write the file"));
        }
    }
    // A signal waits until the folder is written or taken back, so that it never leaves half
    // a folder.
    const DeferredQuitSignals held;
    bool madeFolder = false;
    if (const QString why = prepareFolder(folder, madeFolder); !why.isEmpty()) {
        return CliOutput::fail(err, ExitCode::kWriteFailed, folder + QLatin1String(": ") + why);
    }
    const FolderWriter::Result result =
        FolderWriter::write(folder, parts, command.isSet(QStringLiteral("force")), input.identity);
    if (result.written()) {
        for (const QString& stray : result.strays) {
            CliOutput::fail(err, ExitCode::kOk, stray);
        }
        return ExitCode::kOk;
    }
    if (madeFolder) {
        ::rmdir(FilePath::toBytes(folder).constData());
    }
    const int code = CliOutput::fail(err, ExitCode::kWriteFailed, refusal(result));
    for (const QString& stray : result.strays) {
        CliOutput::fail(err, code, stray);
    }
    return code;
}

} // namespace UnpackCommand

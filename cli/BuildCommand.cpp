// SPDX-License-Identifier: GPL-3.0-or-later
#include "BuildCommand.h"

#include "AddinParts.h"
#include "AddinRecipe.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "FileOutput.h"
#include "FilePath.h"
#include "HeaderJson.h"
#include "MarksBeside.h"
#include "MarksFile.h"
#include "NumberForm.h"
#include "PictureInput.h"
#include "UnpackedFolder.h"

#include <cerrno>

#include <sys/stat.h>

namespace BuildCommand {

const CommandUsage kUsage{
    "build",
    {{"build --code CODE.bin --name TEXT [--description TEXT] [--class TEXT] [--icon PICTURE] "
      "[--word1 N] [--word2 N] [--no-pad] -o OUT",
      "a new add-in from its code"},
     {"build --from DIR -o OUT", "a new add-in from an unpacked folder"}},
    "Writes a new add-in: the header, then the code, which the handheld runs from $8000.\n"
    "\n"
    "  --code CODE.bin     the code as the assembler or compiler wrote it\n"
    "  --name TEXT         the name\n"
    "  --description TEXT  the description (default empty); it may hold CR LF\n"
    "  --class TEXT        the class text (default Addin); its type, the text after the\n"
    "                      last ':' upper-cased, must be ADDIN\n"
    "  --icon PICTURE      the icon from a picture, read as 'icon --from' reads it\n"
    "                      (default all white)\n"
    "  --word1 N           header word 1 (default: the code's length in bytes)\n"
    "  --word2 N           header word 2 (default 0)\n"
    "  --no-pad            leave the file at its natural length; by default a file under\n"
    "                      8192 bytes is padded to 8192 with 0xFF, as Open offers to\n"
    "  --from DIR          take everything from a folder as 'unpack' writes it:\n"
    "                      header.json, code.bin and icon.png (all white when the\n"
    "                      folder holds no icon.png; one it cannot read is an error);\n"
    "                      refused once its addin.asm differs from what unpack wrote\n"
    "                      (by the SHA-256 header.json records; without it, while\n"
    "                      addin.asm is newer than one of them): build a changed\n"
    "                      addin.asm with 'z80asm -o NEW.rex addin.asm'. The marks\n"
    "                      of the folder's addin.marks, if any, go beside OUT as\n"
    "                      OUT.marks, written with OUT all or nothing; a marks file\n"
    "                      with a bad line is refused (exit 3)\n"
    "  -o, --output OUT    the add-in to write\n"
    "\n"
    "Numbers are $1FDF, 0x1FDF or 8159, from 0 to 65535. Texts are stored in\n"
    "Windows-1252. Refused (exit 5), writing nothing: a character without a Windows-1252\n"
    "code, a CR in the class or name, a NUL in the description, a class type other than\n"
    "ADDIN, a header and code over 9000 bytes; and, from --code, what 'check' calls an\n"
    "error, with its sentence: an empty name, a control character in a text, code that\n"
    "is empty or only padding. --from takes every folder 'unpack' writes. A missing or\n"
    "unreadable code file exits with 3, a picture as for 'icon --from'. OUT is replaced in one "
    "step, never\n"
    "when it is one of the inputs or a device, FIFO or folder (exit 6). The same inputs\n"
    "always give the same bytes.\n",
};

namespace {

// What stops the command: its exit code, once the error is reported.
using Stop = std::optional<int>;

// The options that say what goes into the add-in; --from takes all of them from the folder.
const QStringList kPartOptions = {QStringLiteral("code"),        QStringLiteral("name"),
                                  QStringLiteral("description"), QStringLiteral("class"),
                                  QStringLiteral("icon"),        QStringLiteral("word1"),
                                  QStringLiteral("word2"),       QStringLiteral("no-pad")};

// The files read, so that the output can be refused when it would overwrite one of them.
using Inputs = QList<FileIdentity>;

std::optional<FileIdentity> identityOf(const QString& path) {
    struct stat info {};
    if (::stat(FilePath::toBytes(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity::of(info);
}

Stop readCode(const QString& path, QByteArray& code, Inputs& inputs, std::ostream& err) {
    const FileInput input = FileInput::readPart(path);
    if (!input.ok()) {
        return input.fail(err);
    }
    code = input.bytes;
    inputs.append(*input.identity);
    return std::nullopt;
}

Stop readIcon(const QString& path, QByteArray& icon, Inputs& inputs, std::ostream& err) {
    const PictureInput picture = PictureInput::read(path);
    if (!picture.ok()) {
        return picture.fail(err);
    }
    icon = picture.icon;
    if (const auto identity = identityOf(path)) {
        inputs.append(*identity);
    }
    return std::nullopt;
}

Stop fromOptions(const CommandOptions& command, AddinRecipe& recipe, Inputs& inputs,
                 std::ostream& err) {
    for (const QString& option : {QStringLiteral("code"), QStringLiteral("name")}) {
        if (!command.isSet(option)) {
            return command.usageError(err, QStringLiteral("missing --%1").arg(option));
        }
    }
    for (const QString& option : {QStringLiteral("code"), QStringLiteral("icon")}) {
        if (command.isSet(option) && command.value(option).isEmpty()) {
            return command.usageError(err, QStringLiteral("--%1 needs a file name").arg(option));
        }
    }
    std::optional<quint16> words[2];
    for (int i = 0; i < 2; ++i) {
        const QString option = QStringLiteral("word%1").arg(i + 1);
        if (!command.isSet(option)) {
            continue;
        }
        words[i] = NumberForm::parseWord(command.value(option));
        if (!words[i]) {
            return command.usageError(err, QStringLiteral("--%1 takes a number from 0 to 65535, "
                                                          "as $1FDF, 0x1FDF or 8159")
                                               .arg(option));
        }
    }
    if (command.isSet(QStringLiteral("class"))) {
        recipe.classText = command.value(QStringLiteral("class"));
    }
    recipe.name = command.value(QStringLiteral("name"));
    recipe.description = command.value(QStringLiteral("description"));
    if (const Stop stop =
            readCode(command.value(QStringLiteral("code")), recipe.code, inputs, err)) {
        return stop;
    }
    if (command.isSet(QStringLiteral("icon"))) {
        QByteArray icon;
        if (const Stop stop = readIcon(command.value(QStringLiteral("icon")), icon, inputs, err)) {
            return stop;
        }
        recipe.icon = icon;
    }
    recipe.word1 = words[0];
    recipe.word2 = words[1].value_or(0);
    recipe.pad = !command.isSet(QStringLiteral("no-pad"));
    return std::nullopt;
}

// The folder's addin.marks, checked; nothing when the folder holds none.
Stop readMarks(const QString& folder, std::optional<QByteArray>& marks, Inputs& inputs,
               std::ostream& err) {
    const QString path = UnpackedFolder::file(folder, UnpackedFolder::kMarks);
    struct stat entry {};
    if (::lstat(FilePath::toBytes(path).constData(), &entry) != 0 && errno == ENOENT) {
        return std::nullopt;
    }
    const FileInput input = FileInput::readPart(path, MarksFile::kMostBytes);
    if (!input.ok()) {
        return input.fail(err);
    }
    if (const MarksFile::Parsed parsed = MarksFile::parse(input.bytes); !parsed.ok()) {
        return CliOutput::fail(err, ExitCode::kUnreadable,
                               path + QLatin1String(": ") + parsed.problems.first().sentence());
    }
    inputs.append(*input.identity);
    marks = input.bytes;
    return std::nullopt;
}

Stop fromFolder(const QString& folder, AddinParts& parts, Inputs& inputs, std::ostream& err) {
    const QString headerPath = UnpackedFolder::file(folder, UnpackedFolder::kHeader);
    const FileInput header = FileInput::readPart(headerPath);
    if (!header.ok()) {
        return header.fail(err);
    }
    inputs.append(*header.identity);
    if (const Stop stop = readCode(UnpackedFolder::file(folder, UnpackedFolder::kCode), parts.code,
                                   inputs, err)) {
        return stop;
    }
    // The default, as the field's own tools write it: the code's length.
    parts.word1 = quint16(qMin<qsizetype>(parts.code.size(), 0xFFFF));
    // Only a name the folder does not hold means "no icon": a link to nothing, a link loop or
    // a file that cannot be read is an error, not a white icon.
    const QString iconPath = UnpackedFolder::file(folder, UnpackedFolder::kIcon);
    const QByteArray iconName = FilePath::toBytes(iconPath);
    struct stat entry {};
    struct stat target {};
    if (::lstat(iconName.constData(), &entry) != 0) {
        if (errno != ENOENT) {
            return CliOutput::fail(err, ExitCode::kUnreadable,
                                   iconPath + QLatin1String(": ") + qt_error_string(errno));
        }
    } else if (S_ISLNK(entry.st_mode) && ::stat(iconName.constData(), &target) != 0 &&
               errno == ENOENT) {
        return CliOutput::fail(
            err, ExitCode::kUnreadable,
            iconPath + QLatin1String(": a symbolic link to a file that does not exist"));
    } else if (const Stop stop = readIcon(iconPath, parts.icon, inputs, err)) {
        return stop;
    }
    HeaderJson::Extras extras;
    if (const QString problem = HeaderJson::read(header.bytes, parts, extras); !problem.isEmpty()) {
        return CliOutput::fail(err, ExitCode::kPatchRefused,
                               headerPath + QLatin1String(": ") + problem);
    }
    // Never the old code without a word after the source was changed.
    if (const auto refusal = UnpackedFolder::sourceRefusal(folder, extras.sourceDigest)) {
        return CliOutput::fail(err, refusal->exitCode, refusal->sentence);
    }
    if (!extras.hasFileLength) {
        parts.fileLength = parts.newFileLength(true);
    }
    return std::nullopt;
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    for (const QString& option : kPartOptions) {
        if (option == QLatin1String("no-pad")) {
            command.addFlag({option});
        } else {
            command.addValue({option}, option.toUpper());
        }
    }
    command.addValue({QStringLiteral("from")}, QStringLiteral("DIR"));
    command.addValue({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("OUT"));
    if (const auto stop = command.parse(arguments, 0, out, err)) {
        return *stop;
    }
    const QString target = command.value(QStringLiteral("output"));
    if (target.isEmpty()) {
        return command.usageError(err, QStringLiteral("missing -o OUT"));
    }
    const bool folder = command.isSet(QStringLiteral("from"));
    if (folder) {
        for (const QString& option : kPartOptions) {
            if (command.isSet(option)) {
                return command.usageError(err, QStringLiteral("--from takes everything from the "
                                                              "folder; --%1 cannot go with it")
                                                   .arg(option));
            }
        }
        if (command.value(QStringLiteral("from")).isEmpty()) {
            return command.usageError(err, QStringLiteral("--from needs a folder name"));
        }
    }

    Inputs inputs;
    const QString source = command.value(QLatin1String(folder ? "from" : "code"));
    QByteArray bytes;
    std::optional<QByteArray> marks;
    if (folder) {
        // A folder is taken as unpack wrote it, so that every add-in that opens comes back.
        AddinParts parts;
        if (const Stop stop = fromFolder(source, parts, inputs, err)) {
            return *stop;
        }
        if (const Stop stop = readMarks(source, marks, inputs, err)) {
            return *stop;
        }
        if (const QString problem = parts.problem(); !problem.isEmpty()) {
            return CliOutput::fail(err, ExitCode::kPatchRefused,
                                   source + QLatin1String(": ") + problem);
        }
        bytes = parts.bytes();
    } else {
        // A new add-in from options must be sound.
        AddinRecipe recipe;
        if (const Stop stop = fromOptions(command, recipe, inputs, err)) {
            return *stop;
        }
        auto made = recipe.make();
        if (const auto* refusal = std::get_if<AddinRecipe::Refusal>(&made)) {
            return CliOutput::fail(err, ExitCode::kPatchRefused,
                                   (refusal->stage == AddinRecipe::Stage::Parts
                                        ? source + QLatin1String(": ")
                                        : QStringLiteral("build: ")) +
                                       refusal->sentence);
        }
        bytes = std::get<QByteArray>(std::move(made));
    }
    const QString what = QStringLiteral("the add-in");
    const QString marksTarget = MarksFile::besidePath(target);
    for (const auto& [path, written] :
         {std::pair(target, what), std::pair(marksTarget, QStringLiteral("the marks"))}) {
        const auto output = identityOf(path);
        if (output && inputs.contains(*output) && (path == target || marks)) {
            return CliOutput::fail(err, ExitCode::kWriteFailed,
                                   path + QLatin1String(": cannot write ") + written +
                                       QLatin1String(": it is one of the inputs"));
        }
    }
    // The code file is checked again as the file is replaced, where no other program can
    // swap it in between.
    if (!marks) {
        const QString error = FileOutput::write(target, bytes, inputs.value(0), what);
        if (!error.isEmpty()) {
            return CliOutput::fail(err, ExitCode::kWriteFailed, error);
        }
        return ExitCode::kOk;
    }
    bool marksFailed = false;
    const FileReplacer::Result result =
        MarksBeside::save(target, bytes, marks, inputs.value(0), &marksFailed);
    if (!result.written()) {
        return CliOutput::fail(
            err, ExitCode::kWriteFailed,
            FileOutput::refusal(marksFailed ? marksTarget : target, result,
                                marksFailed ? QStringLiteral("the marks") : what));
    }
    return ExitCode::kOk;
}

} // namespace BuildCommand

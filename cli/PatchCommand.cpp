// SPDX-License-Identifier: GPL-3.0-or-later
#include "PatchCommand.h"

#include "AddinHeader.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "FileOutput.h"
#include "HeaderPatch.h"
#include "IconPatch.h"
#include "PictureInput.h"

namespace PatchCommand {

const CommandUsage kUsage{
    "patch",
    {{"patch FILE [--name TEXT] [--description TEXT] [--icon PICTURE] [-o OUT]",
      "a new name or description, same length,\nor a new icon from a picture"}},
    "Overwrites the add-in's name and/or description in place, as the window does: the\n"
    "field keeps its length, a shorter text is padded with spaces, and nothing else in\n"
    "the file changes. Texts are stored in Windows-1252.\n"
    "\n"
    "  --name TEXT          the new name\n"
    "  --description TEXT   the new description\n"
    "  --icon PICTURE       a new icon from a picture, read as 'icon --from' reads it\n"
    "  -o, --output OUT     write the patched add-in to OUT and leave FILE as it is\n"
    "                       (OUT must not be FILE itself nor a device, FIFO or folder)\n"
    "\n"
    "A text is refused (exit 5) when it is longer than its field, when the field is empty\n"
    "(it has no bytes to patch), or when a character has no Windows-1252 code. A picture\n"
    "is refused (exit 5) unless it is 40 x 32 pixels, or N times that with every N x N\n"
    "block one colour; a missing, unreadable, cut-short or damaged picture exits with 3.\n"
    "Everything is checked before anything is written; the file is replaced in one step,\n"
    "so a refused or failed patch leaves every file as it was.\n",
};

namespace {

// The two patchable fields, by the option that names them.
struct FieldRequest {
    const char* option;
    std::optional<HeaderField> AddinHeader::*field;
};

constexpr FieldRequest kFields[] = {
    {"name", &AddinHeader::name},
    {"description", &AddinHeader::description},
};

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addValue({QStringLiteral("name")}, QStringLiteral("TEXT"));
    command.addValue({QStringLiteral("description")}, QStringLiteral("TEXT"));
    command.addValue({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("OUT"));
    command.addValue({QStringLiteral("icon")}, QStringLiteral("PICTURE"));
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const bool icon = command.isSet(QStringLiteral("icon"));
    if (!command.isSet(QStringLiteral("name")) && !command.isSet(QStringLiteral("description")) &&
        !icon) {
        return command.usageError(err, QStringLiteral("nothing to patch: give --name, "
                                                      "--description or --icon"));
    }
    if (icon && command.value(QStringLiteral("icon")).isEmpty()) {
        return command.usageError(err, QStringLiteral("--icon needs a file name"));
    }
    if (command.isSet(QStringLiteral("output")) &&
        command.value(QStringLiteral("output")).isEmpty()) {
        return command.usageError(err, QStringLiteral("-o needs a file name"));
    }

    FileInput input;
    if (const auto stop = command.readAddin(input, err)) {
        return *stop;
    }
    const QString path = command.file();

    // The picture and both texts go into a copy first; the file is written only when every
    // patch fits.
    QByteArray patched = input.bytes;
    if (icon) {
        const PictureInput picture = PictureInput::read(command.value(QStringLiteral("icon")));
        if (!picture.ok()) {
            return picture.fail(err);
        }
        const IconPatch patch = IconPatch::apply(patched, picture.icon);
        if (!patch.written()) {
            return CliOutput::fail(err, ExitCode::kNotAddin,
                                   path + QLatin1String(": ") + patch.problem);
        }
    }
    for (const FieldRequest& request : kFields) {
        const QString option = QLatin1String(request.option);
        if (!command.isSet(option)) {
            continue;
        }
        const HeaderField& field = *(input.header.*request.field);
        const QString text = command.value(option);
        const HeaderPatch patch =
            HeaderPatch::apply(patched, field.start, field.patchableLength(), text);
        if (!patch.written()) {
            return CliOutput::fail(err, ExitCode::kPatchRefused,
                                   path + QLatin1String(": ") + patch.problem(option));
        }
    }

    // Patched in place, the input is the target; with -o the target must be another file.
    const bool toOutput = command.isSet(QStringLiteral("output"));
    const QString target = toOutput ? command.value(QStringLiteral("output")) : path;
    const QString error =
        FileOutput::write(target, patched, toOutput ? input.identity : std::nullopt,
                          QStringLiteral("the patched add-in"));
    if (!error.isEmpty()) {
        return CliOutput::fail(err, ExitCode::kWriteFailed, error);
    }
    return ExitCode::kOk;
}

} // namespace PatchCommand

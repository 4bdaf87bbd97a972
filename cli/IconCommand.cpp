// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconCommand.h"

#include "AddinHeader.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "FileOutput.h"
#include "IconCode.h"
#include "IconPixels.h"
#include "PictureInput.h"

namespace IconCommand {

using Shown = CommandUsage::Form::Shown;

const CommandUsage kUsage{
    "icon",
    {{"icon FILE [--asm]", "", Shown::InHelp},
     {"icon FILE --png OUT.png [--scale N]", "", Shown::InHelp},
     {"icon --from PICTURE [--asm]", "", Shown::InHelp},
     {"icon FILE [--png OUT.png [--scale N]]", "the icon as .db source, or as a picture",
      Shown::InOverview},
     {"icon --from PICTURE", "a picture's icon as .db source", Shown::InOverview}},
    "Prints the icon as the icon-code window shows it: 32 lines of \".db\" with five\n"
    "\"$hh\" items each, every line ending in CR LF, every item but the last followed\n"
    "by a comma.\n"
    "\n"
    "  --asm            print the 32 rows as z80asm and pasmo both assemble them, as\n"
    "                   'source' writes the icon: \"        defb $3C,$00,$FF,$81,$00\",\n"
    "                   every line ending in a line feed\n"
    "  --png OUT.png    write the 40 x 32 icon as a PNG picture instead (black on white);\n"
    "                   the file is replaced only once the whole picture is written, and\n"
    "                   never when OUT is FILE itself or not a regular file (exit 6)\n"
    "  --scale N        make each icon pixel N x N picture pixels (1 to 32; default 1)\n"
    "  --from PICTURE   print the lines for a picture (PNG, BMP, PBM/PGM/PPM, XPM or GIF)\n"
    "                   instead of an add-in's icon; the way back from --png\n"
    "\n"
    "The file must be an add-in (class type ADDIN) with a complete header (else exit 4).\n"
    "A picture must be 40 x 32 pixels, or N times that in both directions (N up to 100)\n"
    "with every N x N block one colour, as --png --scale N writes it (else exit 5); a\n"
    "pixel is black when it is at least half opaque and its luminance (Rec. 709) is below\n"
    "half, at the picture's own depth. A missing, unreadable, cut-short or damaged picture\n"
    "exits with 3.\n",
};

namespace {

std::optional<int> parseScale(const QString& text) {
    bool ok = false;
    const int scale = text.toInt(&ok);
    return ok && scale >= 1 && scale <= kMaxScale ? std::optional<int>(scale) : std::nullopt;
}

void printCode(std::ostream& out, const QByteArray& icon, bool assembler) {
    const QString code = IconCode::fromBytes(icon);
    CliOutput::write(out, assembler ? IconCode::asAssembler(code) : code);
}

// `icon --from PICTURE`: the picture's icon bytes, shown through the same icon box pixels as
// an add-in's icon, so both print exactly what the window would.
int printPicture(const CommandOptions& command, std::ostream& out, std::ostream& err) {
    if (command.isSet(QStringLiteral("png")) || command.isSet(QStringLiteral("scale"))) {
        return command.usageError(err, QStringLiteral("--from prints the .db lines; --png and "
                                                      "--scale need an add-in FILE"));
    }
    const QString path = command.value(QStringLiteral("from"));
    if (path.isEmpty()) {
        return command.usageError(err, QStringLiteral("--from needs a file name"));
    }
    const PictureInput picture = PictureInput::read(path);
    if (!picture.ok()) {
        return picture.fail(err);
    }
    printCode(out, picture.icon, command.isSet(QStringLiteral("asm")));
    return ExitCode::kOk;
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addValue({QStringLiteral("png")}, QStringLiteral("OUT.png"));
    command.addValue({QStringLiteral("scale")}, QStringLiteral("N"));
    command.addValue({QStringLiteral("from")}, QStringLiteral("PICTURE"));
    command.addFlag({QStringLiteral("asm")});
    command.setFileStandIn(QStringLiteral("from"));
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    if (command.isSet(QStringLiteral("from"))) {
        return printPicture(command, out, err);
    }
    const bool png = command.isSet(QStringLiteral("png"));
    if (png && command.isSet(QStringLiteral("asm"))) {
        return command.usageError(err, QStringLiteral("--asm prints the rows; --png writes a "
                                                      "picture instead"));
    }
    int scale = 1;
    if (command.isSet(QStringLiteral("scale"))) {
        if (!png) {
            return command.usageError(err, QStringLiteral("--scale needs --png"));
        }
        const auto parsed = parseScale(command.value(QStringLiteral("scale")));
        if (!parsed) {
            return command.usageError(err, QStringLiteral("--scale takes a whole number from "
                                                          "1 to %1")
                                               .arg(kMaxScale));
        }
        scale = *parsed;
    }
    const QString pngPath = command.value(QStringLiteral("png"));
    if (png && pngPath.isEmpty()) {
        return command.usageError(err, QStringLiteral("--png needs a file name"));
    }

    FileInput input;
    if (const auto stop = command.readAddin(input, err)) {
        return *stop;
    }
    if (!png) {
        printCode(out, input.header.icon, command.isSet(QStringLiteral("asm")));
        return ExitCode::kOk;
    }
    const QByteArray bytes = IconPixels::png(input.header.icon, scale);
    const QString what = QStringLiteral("the picture");
    const QString error = bytes.isEmpty() ? pngPath + QLatin1String(": cannot write ") + what
                                          : FileOutput::write(pngPath, bytes, input.identity, what);
    if (!error.isEmpty()) {
        return CliOutput::fail(err, ExitCode::kWriteFailed, error);
    }
    return ExitCode::kOk;
}

} // namespace IconCommand

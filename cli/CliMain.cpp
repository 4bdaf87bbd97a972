// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliMain.h"

#include "BuildCommand.h"
#include "CheckCommand.h"
#include "CheckedOutput.h"
#include "CliOutput.h"
#include "DiffCommand.h"
#include "DisasmCommand.h"
#include "DumpCommand.h"
#include "ExitCode.h"
#include "IconCommand.h"
#include "InfoCommand.h"
#include "PadCommand.h"
#include "PatchCommand.h"
#include "SourceCommand.h"
#include "UnpackCommand.h"
#include "Version.h"

namespace CliMain {

const char* const kHelp =
    "Usage: mobrin-cli COMMAND [FILE...] [OPTIONS]\n"
    "\n"
    "Inspects, patches, checks and builds REX add-ins (.rex, .DS2) by the same rules as\n"
    "the Mobrin window.\n"
    "\n"
    "Commands:\n"
    "  info FILE [--json] [--hex | --dec]     the header: class, name, words, ORG, sizes\n"
    "  dump FILE [--strip-header]             the hex and ASCII dump\n"
    "  icon FILE [--png OUT.png [--scale N]]  the icon as .db source, or as a picture\n"
    "  icon --from PICTURE                    a picture's icon as .db source\n"
    "  patch FILE [--name TEXT] [--description TEXT] [--icon PICTURE] [-o OUT]\n"
    "                                         a new name or description, same length,\n"
    "                                         or a new icon from a picture\n"
    "  pad FILE                               pad to 8192 bytes with 0xFF\n"
    "  disasm FILE [--all] [--base ADDRESS] [--no-labels]\n"
    "                                         the code as Z80 instructions, with labels\n"
    "  source FILE [-o OUT.asm]               the whole add-in as assembler source\n"
    "  diff A B [--json]                      the header fields and bytes that differ\n"
    "  check FILE... [--json] [--strict]      what the handheld and the parser need,\n"
    "                                         as errors and warnings\n"
    "  build --code CODE.bin --name TEXT [--description TEXT] [--class TEXT]\n"
    "        [--icon PICTURE] [--word1 N] [--word2 N] [--no-pad] -o OUT\n"
    "                                         a new add-in from its code\n"
    "  build --from DIR -o OUT                a new add-in from an unpacked folder\n"
    "  unpack FILE -o DIR [--force]           the header, icon and code as files\n"
    "\n"
    "  mobrin-cli COMMAND --help   the options of one command\n"
    "  mobrin-cli --version        the version\n"
    "\n"
    "Exit codes: 0 done, 1 the files differ (diff) or check found an error, 2 usage\n"
    "error, 3 file or picture missing, unreadable, too long or damaged, 4 not an add-in\n"
    "or a damaged header, 5 patch, picture or build refused, 6 write failed, standard\n"
    "output included (with the system's reason).\n"
    "A command that fails never changes a file.\n";

namespace {

using Command = int (*)(const QStringList&, std::ostream&, std::ostream&);

struct NamedCommand {
    const char* name;
    Command run;
};

constexpr NamedCommand kCommands[] = {
    {"info", InfoCommand::run},     {"dump", DumpCommand::run},     {"icon", IconCommand::run},
    {"patch", PatchCommand::run},   {"pad", PadCommand::run},       {"disasm", DisasmCommand::run},
    {"source", SourceCommand::run}, {"diff", DiffCommand::run},     {"check", CheckCommand::run},
    {"build", BuildCommand::run},   {"unpack", UnpackCommand::run},
};

int usageError(std::ostream& err, const QString& message) {
    return CliOutput::fail(err, ExitCode::kUsage,
                           message + QStringLiteral(" (see '%1 --help')").arg(CliOutput::kProgram));
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.isEmpty()) {
        return usageError(err, QStringLiteral("no command given"));
    }
    const QString& first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
        first == QLatin1String("help")) {
        CliOutput::write(out, QLatin1String(kHelp));
        return ExitCode::kOk;
    }
    if (first == QLatin1String("--version")) {
        CliOutput::line(out,
                        CliOutput::kProgram + QLatin1Char(' ') + QLatin1String(Version::kText));
        return ExitCode::kOk;
    }
    for (const NamedCommand& command : kCommands) {
        if (first == QLatin1String(command.name)) {
            return command.run(arguments.mid(1), out, err);
        }
    }
    return usageError(err, QStringLiteral("unknown command '%1'").arg(first));
}

int runToFile(const QStringList& arguments, int outputFd, std::ostream& err) {
    CheckedOutput output(outputFd);
    std::ostream out(&output);
    const int code = run(arguments, out, err);
    if (const int error = output.finish(); error != 0) {
        CliOutput::fail(err, ExitCode::kWriteFailed,
                        QStringLiteral("cannot write to standard output: ") +
                            qt_error_string(error));
        // A cut output is no answer: "the same" or "differ" would be read from half of it.
        return code == ExitCode::kOk || code == ExitCode::kDiffer ? ExitCode::kWriteFailed : code;
    }
    return code;
}

} // namespace CliMain

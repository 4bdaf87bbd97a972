// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliMain.h"

#include "CliOutput.h"
#include "DisasmCommand.h"
#include "DumpCommand.h"
#include "ExitCode.h"
#include "IconCommand.h"
#include "InfoCommand.h"
#include "PadCommand.h"
#include "PatchCommand.h"
#include "Version.h"

namespace CliMain {

const char* const kHelp =
    "Usage: mobrin-cli COMMAND FILE [OPTIONS]\n"
    "\n"
    "Inspects and patches REX add-ins (.rex, .DS2) by the same rules as the Mobrin window.\n"
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
    "  disasm FILE [--all] [--base ADDRESS]   the code as Z80 instructions\n"
    "\n"
    "  mobrin-cli COMMAND --help   the options of one command\n"
    "  mobrin-cli --version        the version\n"
    "\n"
    "Exit codes: 0 done, 2 usage error, 3 file or picture missing, unreadable, too long\n"
    "or damaged, 4 not an add-in or a damaged header, 5 patch or picture refused, 6 write\n"
    "failed (with the system's reason).\n"
    "A command that fails never changes a file.\n";

namespace {

using Command = int (*)(const QStringList&, std::ostream&, std::ostream&);

struct NamedCommand {
    const char* name;
    Command run;
};

constexpr NamedCommand kCommands[] = {
    {"info", InfoCommand::run},   {"dump", DumpCommand::run}, {"icon", IconCommand::run},
    {"patch", PatchCommand::run}, {"pad", PadCommand::run},   {"disasm", DisasmCommand::run},
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

} // namespace CliMain

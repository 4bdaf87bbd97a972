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
#include "MarksCommand.h"
#include "PadCommand.h"
#include "PatchCommand.h"
#include "RunCommand.h"
#include "SourceCommand.h"
#include "UnpackCommand.h"
#include "Version.h"

namespace CliMain {

namespace {

constexpr const char* kAbout =
    "Usage: mobrin-cli COMMAND [FILE...] [OPTIONS]\n"
    "\n"
    "Inspects, patches, checks and builds REX add-ins (.rex, .DS2) by the same rules as\n"
    "the Mobrin window.\n"
    "\n"
    "Commands:\n";

constexpr const char* kEnd =
    "\n"
    "  mobrin-cli COMMAND --help   the options of one command\n"
    "  mobrin-cli --version        the version\n"
    "\n"
    "Exit codes: 0 done, 1 the files differ (diff) or check found an error, 2 usage\n"
    "error, 3 file or picture missing, unreadable, too long or damaged, 4 not an add-in\n"
    "or a damaged header, 5 patch, picture or build refused, 6 write failed, standard\n"
    "output included (with the system's reason), 7 run stopped other than through\n"
    "system call $0042.\n"
    "A command that fails never changes a file.\n";

using Command = int (*)(const QStringList&, std::ostream&, std::ostream&);

struct NamedCommand {
    const CommandUsage& usage;
    Command run;
};

// In the order of the overview.
const NamedCommand kCommands[] = {
    {InfoCommand::kUsage, InfoCommand::run},     {DumpCommand::kUsage, DumpCommand::run},
    {IconCommand::kUsage, IconCommand::run},     {PatchCommand::kUsage, PatchCommand::run},
    {PadCommand::kUsage, PadCommand::run},       {DisasmCommand::kUsage, DisasmCommand::run},
    {SourceCommand::kUsage, SourceCommand::run}, {MarksCommand::kUsage, MarksCommand::run},
    {DiffCommand::kUsage, DiffCommand::run},     {CheckCommand::kUsage, CheckCommand::run},
    {BuildCommand::kUsage, BuildCommand::run},   {UnpackCommand::kUsage, UnpackCommand::run},
    {RunCommand::kUsage, RunCommand::run},
};

int usageError(std::ostream& err, const QString& message) {
    return CliOutput::fail(err, ExitCode::kUsage,
                           message + QStringLiteral(" (see '%1 --help')").arg(CliOutput::kProgram));
}

} // namespace

QString help() {
    QString text = QLatin1String(kAbout);
    for (const NamedCommand& command : kCommands) {
        text += command.usage.overview();
    }
    return text + QLatin1String(kEnd);
}

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.isEmpty()) {
        return usageError(err, QStringLiteral("no command given"));
    }
    const QString& first = arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
        first == QLatin1String("help")) {
        CliOutput::write(out, help());
        return ExitCode::kOk;
    }
    if (first == QLatin1String("--version")) {
        CliOutput::line(out,
                        CliOutput::kProgram + QLatin1Char(' ') + QLatin1String(Version::kText));
        return ExitCode::kOk;
    }
    for (const NamedCommand& command : kCommands) {
        if (first == QLatin1String(command.usage.name)) {
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

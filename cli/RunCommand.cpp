// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunCommand.h"

#include "AddinMachine.h"
#include "AnsweredRun.h"
#include "AnswersFile.h"
#include "CliOutput.h"
#include "CodeListing.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "NumberForm.h"
#include "RunReport.h"

#include <utility>

namespace RunCommand {

const CommandUsage kUsage{
    "run",
    {{"run FILE [--answers FILE] [--max-steps N] [--trace] [--json]",
      "runs the add-in on an emulated Z80,\nprinting its system calls"}},
    "Runs the add-in from $8000 on an emulated Z80 (z80ex) with 64 KiB of memory,\n"
    "the code loaded at $8000, and prints each system call (rst $10) in order: its\n"
    "address, number, name and six argument words (with the text an argument\n"
    "points at), and the answer given in the system's place; then the stop that\n"
    "ended the run and a summary: instructions and T-states run, the lowest stack\n"
    "address, the memory range the add-in wrote and any write into its code.\n"
    "\n"
    "  call at $8028: $0066 DS_TEXT_OUT; arguments $0000, $0000,\n"
    "    $8030 \"Hello, REX\", $000A, $0000, $0000; answer $0000\n"
    "    (none given: the default)\n"
    "\n"
    "(one line, folded here). The run stops when the add-in leaves through system\n"
    "call $0042, returns from its entry point, jumps, calls or returns outside its\n"
    "code, writes into its code (the handheld keeps code in flash), halts (no\n"
    "interrupts are modelled), or has run --max-steps instructions. Ports read as\n"
    "zero; there is no display.\n"
    "\n"
    "  --answers FILE   the results of the system calls, one a line (see the manual\n"
    "                   page): \"$002A $0001\" or \"DS_EVENT_MESSAGE_GET 1\",\n"
    "                   \"$002A 0 $F000=0D00\" to fill memory too, \"$00CE:$0101 5\"\n"
    "                   for an extended call; a call's lines answer it in turn, the\n"
    "                   last one every later time. A call the file does not answer\n"
    "                   gets $0000 and the output says so\n"
    "  --max-steps N    stop after N instructions (default 1000000)\n"
    "  --trace          print every instruction before it runs, as disasm lists it\n"
    "  --json           print one JSON object: \"calls\", \"stop\", the summary's\n"
    "                   numbers, the \"ports\" accessed, and \"trace\" with --trace\n"
    "\n"
    "Exit status: 0 when the add-in left through $0042, 7 when anything else\n"
    "stopped it (the reason is in the output), 3 when a file cannot be read or an\n"
    "answers line is refused, 4 when FILE is not an add-in.\n",
};

namespace {

// The listing's line of the instruction at `pc`, as disasm shows it.
QString listingLine(const AddinMachine& machine, quint16 pc) {
    const int end = qMin(int(pc) + CodeInstruction::kMaxLength, AddinMachine::kMemorySize);
    return CodeListing::ofRange(machine.memory(), pc, end, pc).line(0).toString();
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addValue({QStringLiteral("answers")}, QStringLiteral("FILE"));
    command.addValue({QStringLiteral("max-steps")}, QStringLiteral("N"));
    command.addFlag({QStringLiteral("trace")});
    command.addFlag({QStringLiteral("json")});
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    quint64 maxSteps = AddinMachine::kDefaultBudget;
    if (command.isSet(QStringLiteral("max-steps"))) {
        const auto parsed = NumberForm::parseNumber(command.value(QStringLiteral("max-steps")));
        if (!parsed || *parsed < 1 || *parsed >= 0x7FFFFFFF) {
            return command.usageError(err, QStringLiteral("--max-steps takes a number of "
                                                          "instructions from 1 to 2147483646"));
        }
        maxSteps = quint64(*parsed);
    }
    AnswersFile answers;
    if (command.isSet(QStringLiteral("answers"))) {
        const QString path = command.value(QStringLiteral("answers"));
        const FileInput input = FileInput::readPart(path);
        if (!input.ok()) {
            return input.fail(err);
        }
        QStringList errors;
        answers = AnswersFile::parse(input.bytes, errors);
        for (const QString& error : std::as_const(errors)) {
            CliOutput::fail(err, ExitCode::kUnreadable, path + QLatin1String(": ") + error);
        }
        if (!errors.isEmpty()) {
            return ExitCode::kUnreadable;
        }
    }
    FileInput input;
    if (const auto stop = command.readAddin(input, err)) {
        return *stop;
    }

    const bool trace = command.isSet(QStringLiteral("trace"));
    RunReport report(out, command.isSet(QStringLiteral("json")), trace);
    AddinMachine machine(input.bytes, input.header.headSize);
    report.notes(machine.notes());
    AnsweredRun answered(machine, std::move(answers));
    const auto callSeen = [&report](const AnsweredRun::Answered& call) {
        report.call(call.call, call.answer, call.fromFile);
    };
    const auto stepSeen = [&report, &machine](quint16 pc) {
        report.trace(listingLine(machine, pc));
    };
    const MachineStop stop =
        answered.run(maxSteps, callSeen, trace ? AnsweredRun::StepSeen(stepSeen) : nullptr);
    if (stop.kind == MachineStop::Kind::Terminated) {
        report.call(*stop.call, std::nullopt, false);
    }
    report.finish(CliOutput::escaped(command.file()), stop, machine);
    return stop.kind == MachineStop::Kind::Terminated ? ExitCode::kOk : ExitCode::kRunStopped;
}

} // namespace RunCommand

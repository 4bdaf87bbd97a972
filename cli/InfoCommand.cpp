// SPDX-License-Identifier: GPL-3.0-or-later
#include "InfoCommand.h"

#include "AddinHeader.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "HeaderCheck.h"
#include "HeaderFacts.h"

namespace InfoCommand {

const CommandUsage kUsage{
    "info",
    {{"info FILE [--json] [--hex | --dec]", "the header: class, name, words, ORG, sizes"}},
    "Prints the add-in's header as the window shows it, one \"key: value\" line each:\n"
    "class, type, name, description, word1, word2, header_size, org, code_size, file_size.\n"
    "\n"
    "  --hex    words as $1234, ORG and file size as $7F35 and $2000 (the default,\n"
    "           as the window starts); header and code size are decimal, as there\n"
    "  --dec    every number in decimal\n"
    "  --json   one JSON object with the same keys, texts as strings and numbers as\n"
    "           numbers; \"problem\" is added when the header is damaged\n"
    "\n"
    "Texts are decoded from Windows-1252. In the line form, control characters show as\n"
    "\\xHH and a backslash as \\\\; --json gives the exact text.\n"
    "\n"
    "A file without the \"ApplicationName:\" signature, with a damaged header or with a\n"
    "class type other than ADDIN prints the fields read in full (and the file size),\n"
    "names the problem on stderr and exits with 4.\n",
};

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addFlag({QStringLiteral("json")});
    command.addFlag({QStringLiteral("hex")});
    command.addFlag({QStringLiteral("dec")});
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const bool json = command.isSet(QStringLiteral("json"));
    const bool hex = command.isSet(QStringLiteral("hex"));
    const bool dec = command.isSet(QStringLiteral("dec"));
    if (hex && dec) {
        return command.usageError(err, QStringLiteral("--hex and --dec exclude each other"));
    }
    if (json && (hex || dec)) {
        return command.usageError(err, QStringLiteral("--json prints numbers as numbers; "
                                                      "--hex and --dec do not apply to it"));
    }

    FileInput input;
    if (const auto stop = command.read(input, err)) {
        return *stop;
    }
    const AddinHeader header = AddinHeader::parse(input.bytes);
    const QList<HeaderFact> facts = HeaderFacts::of(header, input.bytes.size());
    const QString problem = HeaderCheck::notAddin(header);
    if (json) {
        const QByteArray document = HeaderFacts::asJson(facts, problem);
        out.write(document.constData(), document.size());
    } else {
        CliOutput::write(out, HeaderFacts::asText(facts, !dec));
    }
    if (!problem.isEmpty()) {
        return CliOutput::fail(err, ExitCode::kNotAddin,
                               command.file() + QLatin1String(": ") + problem);
    }
    return ExitCode::kOk;
}

} // namespace InfoCommand

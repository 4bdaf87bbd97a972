// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceCommand.h"

#include "AddinHeader.h"
#include "AddinSource.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "FileOutput.h"

namespace SourceCommand {

const CommandUsage kUsage{
    "source",
    {{"source FILE [-o OUT.asm]", "the whole add-in as assembler source"}},
    "Writes the whole add-in as Z80 assembler source that Debian's z80asm and pasmo\n"
    "assemble back into the identical file:\n"
    "\n"
    "  z80asm -o ADDIN.rex OUT.asm      pasmo OUT.asm ADDIN.rex\n"
    "\n"
    "The header goes in as data (its texts as strings where a byte can be quoted, the\n"
    "icon as 32 rows of five bytes), the code from $8000 to the end of the approximate\n"
    "code size as instructions with labels where jumps lead (as disasm shows them), and\n"
    "the FF bytes after it as one \"defs\". An instruction that the two assemblers do not\n"
    "both write back as its own bytes (the undocumented IXH, IXL, IYH, IYL and SLL, and\n"
    "undocumented copies of other opcodes) goes in as \"defb\" bytes, the instruction in\n"
    "a comment; so do the bytes that are no instruction or are cut off by the end.\n"
    "\n"
    "  -o, --output OUT.asm   write the source to OUT.asm instead of the standard output;\n"
    "                         the file is replaced only once it is written whole, and\n"
    "                         never when OUT is FILE itself or not a regular file (exit 6)\n"
    "\n"
    "The file must be an add-in (class type ADDIN) with a complete header (else exit 4).\n",
};

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addValue({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("OUT.asm"));
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const bool toOutput = command.isSet(QStringLiteral("output"));
    const QString target = command.value(QStringLiteral("output"));
    if (toOutput && target.isEmpty()) {
        return command.usageError(err, QStringLiteral("-o needs a file name"));
    }

    FileInput input;
    if (const auto stop = command.readAddin(input, err)) {
        return *stop;
    }
    const QByteArray source = AddinSource::of(input.bytes, input.header);
    if (!toOutput) {
        out.write(source.constData(), source.size());
        return ExitCode::kOk;
    }
    const QString error =
        FileOutput::write(target, source, input.identity, QStringLiteral("the source"));
    if (!error.isEmpty()) {
        return CliOutput::fail(err, ExitCode::kWriteFailed, error);
    }
    return ExitCode::kOk;
}

} // namespace SourceCommand

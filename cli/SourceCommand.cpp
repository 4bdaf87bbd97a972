// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceCommand.h"

#include "AddinHeader.h"
#include "AddinSource.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "FileOutput.h"
#include "MarksInput.h"

namespace SourceCommand {

const CommandUsage kUsage{
    "source",
    {{"source FILE [-o OUT.asm] [--addresses] [--marks MARKS]",
      "the whole add-in as assembler source"}},
    "Writes the whole add-in as Z80 assembler source that Debian's z80asm and pasmo\n"
    "assemble back into the identical file:\n"
    "\n"
    "  z80asm -o ADDIN.rex OUT.asm      pasmo OUT.asm ADDIN.rex\n"
    "\n"
    "The header goes in as data (its texts as strings where a byte can be quoted, the\n"
    "icon as 32 rows of five bytes), the code from $8000 to the end of the approximate\n"
    "code size as disasm tells it from data: instructions, and data as \"defm\" text,\n"
    "\"defw\" words, \"defb\" bytes and \"defs\" runs. Every address in the add-in that\n"
    "the code uses (jump and call targets, data it loads the address of, reads or\n"
    "writes, tables of addresses) is named by a label, each label line with its address\n"
    "in a comment, so that instructions inserted or removed move them all. Where word 1\n"
    "is the code's length and only padding follows it, word 1 is written as the code's\n"
    "end minus its start (\"L9FDF-L8000\") and the first run of padding as what keeps\n"
    "the file's length; any other word 1 stays a number. The FF bytes after the code\n"
    "are one \"defs\". An instruction that the two assemblers do not both write back as\n"
    "its own bytes (the undocumented IXH, IXL, IYH, IYL and SLL, and undocumented copies\n"
    "of other opcodes) goes in as \"defb\" bytes, the instruction in a comment; so do\n"
    "the bytes cut off by the end.\n"
    "\n"
    "  -o, --output OUT.asm   write the source to OUT.asm instead of the standard output;\n"
    "                         the file is replaced only once it is written whole, and\n"
    "                         never when OUT is FILE itself or not a regular file (exit 6)\n"
    "  --addresses            the address of every line of the code and the padding in a\n"
    "                         comment\n"
    "  --marks MARKS          keep the author's marks of the marks file MARKS (mobrin(5)):\n"
    "                         the data kinds as marked, labels by the names given, comments\n"
    "                         on the lines of their addresses; still byte for byte. Marks\n"
    "                         whose bytes changed are counted on stderr and left out; a\n"
    "                         file with a bad line is refused (exit 3), nothing written\n"
    "\n"
    "The file must be an add-in (class type ADDIN) with a complete header (else exit 4).\n",
};

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addValue({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("OUT.asm"));
    command.addFlag({QStringLiteral("addresses")});
    command.addValue({QStringLiteral("marks")}, QStringLiteral("MARKS"));
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
    MarksInput marks;
    if (command.isSet(QStringLiteral("marks"))) {
        if (const auto stop = marks.read(command.value(QStringLiteral("marks")), input.bytes,
                                         input.header, err)) {
            return *stop;
        }
    }
    const QByteArray source =
        AddinSource::of(input.bytes, input.header, command.isSet(QStringLiteral("addresses")),
                        marks.codeMarks(input.header, int(input.bytes.size())));
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

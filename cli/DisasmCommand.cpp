// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisasmCommand.h"

#include "AddinHeader.h"
#include "CliOutput.h"
#include "CodeListing.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "LabelledListing.h"
#include "NumberForm.h"

namespace DisasmCommand {

const CommandUsage kUsage{
    "disasm",
    {{"disasm FILE [--all] [--base ADDRESS] [--no-labels]",
      "the code as Z80 instructions, with labels"}},
    "Lists the add-in's code as Z80 instructions, one a line: the address as four hex\n"
    "digits, the instruction's bytes as hex pairs in one column, then the instruction:\n"
    "\n"
    "  8000  31 FF FF     ld sp,$FFFF\n"
    "\n"
    "Where a JP, CALL, JR or DJNZ leads into the listed code, a line \"L9B03:\" stands\n"
    "before the instruction it leads to, and the jump names it: \"jp nz,L9B03\", or\n"
    "\"jp L9B02+$01\" when it leads into the middle of an instruction (the distance in\n"
    "hexadecimal, as every number). Targets outside the listed code stay numbers.\n"
    "\n"
    "The code runs from the end of the header to the end of the approximate code size\n"
    "(the last byte that is not FF). Numbers show as \"$\" and hex digits; an instruction\n"
    "cut off by the end of the range shows as \".db\" bytes, and so does a byte that is no\n"
    "instruction (a DD or FD prefix before one that does not use IX or IY).\n"
    "\n"
    "  --all             list to the end of the file\n"
    "  --base ADDRESS    the address of the first code byte, as $8000, 0x8000 or 32768;\n"
    "                    the default $8000 is where real add-ins run (the header's ORG\n"
    "                    box derives another address from the header size)\n"
    "  --no-labels       no label lines, and every target as a number\n"
    "\n"
    "The file must be an add-in (class type ADDIN) with a complete header (else exit 4).\n",
};

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addFlag({QStringLiteral("all")});
    command.addValue({QStringLiteral("base")}, QStringLiteral("ADDRESS"));
    command.addFlag({QStringLiteral("no-labels")});
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    quint16 base = CodeListing::kDefaultBase;
    if (command.isSet(QStringLiteral("base"))) {
        const auto parsed = NumberForm::parseWord(command.value(QStringLiteral("base")));
        if (!parsed) {
            return command.usageError(err, QStringLiteral("--base takes an address from 0 to "
                                                          "65535, as $8000, 0x8000 or 32768"));
        }
        base = *parsed;
    }

    FileInput input;
    if (const auto stop = command.readAddin(input, err)) {
        return *stop;
    }
    const CodeListing listing =
        CodeListing::ofAddin(input.bytes, input.header, command.isSet(QStringLiteral("all")), base);
    CliOutput::write(out, command.isSet(QStringLiteral("no-labels"))
                              ? listing.text()
                              : LabelledListing(listing).text());
    return ExitCode::kOk;
}

} // namespace DisasmCommand

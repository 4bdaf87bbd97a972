// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisasmCommand.h"

#include "AddinHeader.h"
#include "CliOutput.h"
#include "CodeListing.h"
#include "CodeMap.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "LabelledListing.h"
#include "MarksInput.h"
#include "NumberForm.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace DisasmCommand {

const CommandUsage kUsage{
    "disasm",
    {{"disasm FILE [--all] [--base ADDRESS] [--no-labels] [--marks MARKS] [--linear | --ranges "
      "| --json]",
      "the code as Z80 instructions and data, with labels"}},
    "Lists the add-in's code, one line each for an instruction or a piece of data: the\n"
    "address as four hex digits, the line's bytes as hex pairs in one column (of more\n"
    "than four bytes the first two and \"...\"), then the instruction or the data:\n"
    "\n"
    "  8000  31 FF FF     ld sp,$FFFF\n"
    "  8010  D7           rst $10 ; DS_ADDIN_TERMINATE\n"
    "  9113  52 65 ...    .dm \"Restarting...\"\n"
    "  9120  00           .db $00\n"
    "\n"
    "The code is told from data by following it from its first byte: jumps, calls\n"
    "and returns, the addresses it loads, tables of addresses. Data lists as text\n"
    "(.dm, at most 32 characters a line), words or tables of addresses (.dw, at most\n"
    "four a line), bytes (.db, at most eight a line) and runs of one value (.ds). A\n"
    "line \"L9B03:\" stands before each place the code jumps to, calls, loads the\n"
    "address of or reads or writes, and the code names it: \"jp nz,L9B03\",\n"
    "\"ld hl,L9113\", \".dw L9113,L9121\", or \"jp L9B02+$01\" when a jump leads into the\n"
    "middle of an instruction. Addresses outside the listed code stay numbers. The\n"
    "handheld's system calls whose numbers the code shows are named in a comment.\n"
    "\n"
    "The code runs from the end of the header to the end of the approximate code size\n"
    "(the last byte that is not FF); after word 1's length, each run of padding is one\n"
    "\".ds\" line. Numbers show as \"$\" and hex digits.\n"
    "\n"
    "  --all             list to the end of the file\n"
    "  --base ADDRESS    the address of the first code byte, as $8000, 0x8000 or 32768;\n"
    "                    the default $8000 is where real add-ins run (the header's ORG\n"
    "                    box derives another address from the header size)\n"
    "  --no-labels       no label lines, and every address as a number\n"
    "  --marks MARKS     the author's marks from the marks file MARKS (mobrin(5)) first:\n"
    "                    the kinds marked, labels by the names given, comments at their\n"
    "                    addresses; marks whose bytes changed are counted on stderr and\n"
    "                    left out; a file with a bad line is refused (exit 3). Without it\n"
    "                    no marks file is read, not even the one beside FILE\n"
    "  --linear          every byte decoded as an instruction, as disasm listed before\n"
    "                    it told code from data (a byte that is no instruction, or one\n"
    "                    cut off by the end, as \".db\"); only jumps' targets labelled\n"
    "  --ranges          the code map instead: one range a line, its first address,\n"
    "                    the address after it and its kind (code, text, bytes, words,\n"
    "                    pointers or padding): \"$8000 $9113 code\"\n"
    "  --json            one JSON object a line: \"address\", \"offset\" (in the file),\n"
    "                    \"bytes\" (all of them, as hex pairs), \"kind\", \"label\" (the\n"
    "                    label line before it, or null) and \"text\"\n"
    "\n"
    "The file must be an add-in (class type ADDIN) with a complete header (else exit 4).\n",
};

namespace {

QString rangesText(const CodeMap& map) {
    QString text;
    for (const CodeRange& range : map.ranges()) {
        text += NumberForm::hexWord(map.addressOf(range.start)) + QLatin1Char(' ') +
                NumberForm::hexWord(map.addressOf(range.end)) + QLatin1Char(' ') +
                CodeKinds::name(range.kind) + QLatin1Char('\n');
    }
    return text;
}

QString jsonLines(const CodeListing& listing, bool labels) {
    QString text;
    for (int index = 0; index < listing.instructions().size(); ++index) {
        const CodeInstruction& line = listing.instructions().at(index);
        const bool labelled = labels && line.labelled;
        const QJsonObject object{
            {QStringLiteral("address"), line.address},
            {QStringLiteral("offset"), line.offset},
            {QStringLiteral("bytes"),
             QString::fromLatin1(listing.bytesOf(index).toByteArray().toHex(' ').toUpper())},
            {QStringLiteral("kind"), CodeKinds::name(line.kind)},
            {QStringLiteral("label"),
             labelled ? QJsonValue(listing.labelNameAt(line.offset)) : QJsonValue()},
            {QStringLiteral("text"), labels ? listing.labelledInstructionText(index)
                                            : listing.instructionText(index).toString()},
        };
        text += QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addFlag({QStringLiteral("all")});
    command.addValue({QStringLiteral("base")}, QStringLiteral("ADDRESS"));
    command.addFlag({QStringLiteral("no-labels")});
    command.addFlag({QStringLiteral("linear")});
    command.addFlag({QStringLiteral("ranges")});
    command.addFlag({QStringLiteral("json")});
    command.addValue({QStringLiteral("marks")}, QStringLiteral("MARKS"));
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const bool marked = command.isSet(QStringLiteral("marks"));
    if (marked && command.isSet(QStringLiteral("linear"))) {
        return command.usageError(
            err, QStringLiteral("--linear decodes every byte; --marks cannot go with it"));
    }
    const bool linear = command.isSet(QStringLiteral("linear"));
    const bool ranges = command.isSet(QStringLiteral("ranges"));
    const bool json = command.isSet(QStringLiteral("json"));
    if (int(linear) + int(ranges) + int(json) > 1) {
        return command.usageError(
            err, QStringLiteral("--linear, --ranges and --json exclude each other"));
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
    const bool all = command.isSet(QStringLiteral("all"));
    const bool labels = !command.isSet(QStringLiteral("no-labels"));
    if (linear) {
        const CodeListing listing = CodeListing::linear(input.bytes, input.header, all, base);
        CliOutput::write(out, labels ? LabelledListing(listing).text() : listing.text());
        return ExitCode::kOk;
    }
    MarksInput marks;
    if (marked) {
        if (const auto stop = marks.read(command.value(QStringLiteral("marks")), input.bytes,
                                         input.header, err)) {
            return *stop;
        }
    }
    const CodeMap map =
        CodeMap::of(input.bytes, input.header,
                    marks.codeMarks(input.header, int(input.bytes.size())), all, base);
    if (ranges) {
        CliOutput::write(out, rangesText(map));
        return ExitCode::kOk;
    }
    const CodeListing listing = CodeListing::ofMap(input.bytes, map);
    if (json) {
        CliOutput::write(out, jsonLines(listing, labels));
    } else {
        CliOutput::write(out, labels ? LabelledListing(listing).text() : listing.text());
    }
    return ExitCode::kOk;
}

} // namespace DisasmCommand

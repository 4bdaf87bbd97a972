// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpCommand.h"

#include "AddinHeader.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "DumpLines.h"
#include "DumpText.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "HeaderCheck.h"

namespace DumpCommand {

const CommandUsage kUsage{
    "dump",
    {{"dump FILE [--strip-header]", "the hex and ASCII dump"}},
    "Prints the file as the window's dump shows it, one visual line a line: the four-digit\n"
    "address, the 48-character hex line and the 16-character ASCII line, two spaces apart.\n"
    "In the ASCII column a space shows as \"_\", a hyphen as an en dash, bytes 0x21 to 0x7F\n"
    "as themselves and every other byte as \".\"; the output is UTF-8.\n"
    "\n"
    "  --strip-header   start after the header, as \"Strip header\" does; addresses then\n"
    "                   count from the first byte after it. A file without a complete\n"
    "                   header has nothing to strip: that is an error (exit 4).\n"
    "\n"
    "Any readable file of at most 9000 bytes can be dumped whole.\n",
};

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    command.addFlag({QStringLiteral("strip-header")});
    FileInput input;
    if (const auto stop = command.parseAndRead(arguments, input, out, err)) {
        return *stop;
    }
    const bool strip = command.isSet(QStringLiteral("strip-header"));
    int headSize = 0;
    if (strip) {
        const AddinHeader header = AddinHeader::parse(input.bytes);
        const QString damage = HeaderCheck::damage(header);
        if (!damage.isEmpty()) {
            return CliOutput::fail(err, ExitCode::kNotAddin,
                                   command.file() + QLatin1String(": ") + damage);
        }
        headSize = header.headSize;
    }
    for (const QString& line :
         DumpLines::of(DumpText::renderedRange(input.bytes, strip, headSize))) {
        CliOutput::line(out, line);
    }
    return ExitCode::kOk;
}

} // namespace DumpCommand

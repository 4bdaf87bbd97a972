// SPDX-License-Identifier: GPL-3.0-or-later
#include "PadCommand.h"

#include "AddinHeader.h"
#include "AddinImage.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"

namespace PadCommand {

const CommandUsage kUsage{
    "pad",
    {{"pad FILE", "pad to 8192 bytes with 0xFF"}},
    "Pads an add-in of fewer than 8192 bytes to 8192 bytes by appending bytes 0xFF (255)\n"
    "on disk, as the window's Open offers to; a file of 8192 to 9000 bytes is left as it\n"
    "is. Prints what it did.\n"
    "\n"
    "The file must begin with \"ApplicationName:\" (else exit 4), so that no other file\n"
    "is padded by mistake. If the padding cannot be written, or the file changed after\n"
    "it was read (another program wrote to it), the padding is taken out again (exit 6).\n",
};

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(kUsage);
    FileInput input;
    if (const auto stop = command.parseAndRead(arguments, input, out, err)) {
        return *stop;
    }
    const QString path = command.file();
    const AddinHeader header = AddinHeader::parse(input.bytes);
    if (!header.signatureOk()) {
        return CliOutput::fail(err, ExitCode::kNotAddin,
                               path + QLatin1String(": ") + header.problemText());
    }
    const qint64 size = input.bytes.size();
    const QString shown = CliOutput::escaped(path);
    if (AddinImage::paddingFor(size) == 0) {
        CliOutput::line(
            out, QStringLiteral("%1: %2 bytes, nothing to pad").arg(shown, QString::number(size)));
        return ExitCode::kOk;
    }
    int error = 0;
    switch (AddinImage::pad(path, size, input.identity, &error)) {
    case AddinImage::PadOutcome::Padded:
        break;
    case AddinImage::PadOutcome::Changed:
        return CliOutput::fail(err, ExitCode::kWriteFailed,
                               path + QLatin1String(": the file changed while it was being "
                                                    "padded; no padding was added"));
    case AddinImage::PadOutcome::Failed:
        return CliOutput::fail(err, ExitCode::kWriteFailed,
                               path + QLatin1String(": cannot write the padding: ") +
                                   qt_error_string(error));
    }
    // One arg() for all three, so that a "%2" in the name stays as it is.
    CliOutput::line(
        out, QStringLiteral("%1: padded from %2 to %3 bytes")
                 .arg(shown, QString::number(size), QString::number(AddinImage::kPaddedSize)));
    return ExitCode::kOk;
}

} // namespace PadCommand

#include "IconCommand.h"

#include "AddinHeader.h"
#include "CliOutput.h"
#include "CommandOptions.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "FileOutput.h"
#include "IconCode.h"
#include "IconPixels.h"

#include <QBuffer>
#include <QImageWriter>

namespace IconCommand {

const char* const kHelp =
    "Usage: mobrin-cli icon FILE\n"
    "       mobrin-cli icon FILE --png OUT.png [--scale N]\n"
    "\n"
    "Prints the icon as the icon-code window shows it: 32 lines of \".db\" with five\n"
    "\"$hh\" items each, every line ending in CR LF.\n"
    "\n"
    "  --png OUT.png   write the 40 x 32 icon as a PNG picture instead (black on white);\n"
    "                  the file is replaced only once the whole picture is written, and\n"
    "                  never when OUT is FILE itself or not a regular file (exit 6)\n"
    "  --scale N       make each icon pixel N x N picture pixels (1 to 32; default 1)\n"
    "\n"
    "The file must be an add-in (class type ADDIN) with a complete header (else exit 4).\n";

namespace {

std::optional<int> parseScale(const QString& text) {
    bool ok = false;
    const int scale = text.toInt(&ok);
    return ok && scale >= 1 && scale <= kMaxScale ? std::optional<int>(scale) : std::nullopt;
}

QByteArray pngBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(picture) ? bytes : QByteArray();
}

} // namespace

int run(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    CommandOptions command(QStringLiteral("icon"), QLatin1String(kHelp));
    command.addValue({QStringLiteral("png")}, QStringLiteral("OUT.png"));
    command.addValue({QStringLiteral("scale")}, QStringLiteral("N"));
    if (const auto stop = command.parse(arguments, 1, out, err)) {
        return *stop;
    }
    const bool png = command.isSet(QStringLiteral("png"));
    int scale = 1;
    if (command.isSet(QStringLiteral("scale"))) {
        if (!png) {
            return command.usageError(err, QStringLiteral("--scale needs --png"));
        }
        const auto parsed = parseScale(command.value(QStringLiteral("scale")));
        if (!parsed) {
            return command.usageError(err, QStringLiteral("--scale takes a whole number from "
                                                          "1 to %1")
                                               .arg(kMaxScale));
        }
        scale = *parsed;
    }
    const QString pngPath = command.value(QStringLiteral("png"));
    if (png && pngPath.isEmpty()) {
        return command.usageError(err, QStringLiteral("--png needs a file name"));
    }

    const QString path = command.file();
    AddinHeader header;
    const FileInput input = FileInput::readAddin(path, header);
    if (!input.ok()) {
        return CliOutput::fail(err, input.exitCode, input.error);
    }
    const QImage pixels = IconPixels::of(header.icon);
    if (!png) {
        CliOutput::write(out, IconCode::fromPixels(pixels));
        return ExitCode::kOk;
    }
    const QImage picture =
        pixels.scaled(pixels.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QByteArray bytes = pngBytes(picture);
    const QString what = QStringLiteral("the picture");
    const QString error = bytes.isEmpty() ? pngPath + QLatin1String(": cannot write ") + what
                                          : FileOutput::write(pngPath, bytes, input.identity, what);
    if (!error.isEmpty()) {
        return CliOutput::fail(err, ExitCode::kWriteFailed, error);
    }
    return ExitCode::kOk;
}

} // namespace IconCommand

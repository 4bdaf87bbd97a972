#include "CliOutput.h"

namespace CliOutput {

void write(std::ostream& out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    out.write(bytes.constData(), bytes.size());
}

void line(std::ostream& out, const QString& text) {
    write(out, text);
    out.put('\n');
}

int fail(std::ostream& err, int exitCode, const QString& message) {
    // A message is one line whatever a file name or header text holds.
    QString oneLine = message;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    line(err, kProgram + QLatin1String(": ") + oneLine);
    return exitCode;
}

} // namespace CliOutput

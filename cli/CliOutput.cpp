// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliOutput.h"

namespace {

QString hexEscape(uint value) {
    return QLatin1String("\\x") +
           QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

} // namespace

namespace CliOutput {

QString escaped(const QString& text) {
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += ch;
            shown += text[++i];
        } else if (ch.unicode() >= 0xDC80 && ch.unicode() <= 0xDCFF) {
            shown += hexEscape(ch.unicode() - 0xDC00); // a byte kept from a file name
        } else if (ch == QLatin1Char('\\')) {
            shown += QLatin1String("\\\\");
        } else if (ch.category() == QChar::Other_Control) {
            shown += hexEscape(ch.unicode());
        } else {
            shown += ch;
        }
    }
    return shown;
}

void write(std::ostream& out, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    out.write(bytes.constData(), bytes.size());
}

void line(std::ostream& out, const QString& text) {
    write(out, text);
    out.put('\n');
}

int fail(std::ostream& err, int exitCode, const QString& message) {
    // A message is one line whatever a file name, argument or header text holds.
    line(err, kProgram + QLatin1String(": ") + escaped(message));
    return exitCode;
}

} // namespace CliOutput

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <ostream>

// Text goes to the streams as UTF-8; every error is one line on the error stream that starts
// with the program's name. File names and texts from the user or a file never reach the
// terminal raw: see escaped().
namespace CliOutput {

inline const QString kProgram = QStringLiteral("mobrin-cli");

// Control characters as \xHH, bytes of a file name that are not UTF-8 (see FilePath) as
// \xHH, and a backslash as \\: an escape sequence cannot act on the terminal, a line break
// cannot split a line, and the result reads back unambiguously.
QString escaped(const QString& text);

void write(std::ostream& out, const QString& text);
void line(std::ostream& out, const QString& text);
// Writes "mobrin-cli: `message`" as one line, escaped, and returns `exitCode`.
int fail(std::ostream& err, int exitCode, const QString& message);

} // namespace CliOutput

#pragma once

#include <QString>

#include <ostream>

// Text goes to the streams as UTF-8; every error is one line on the error stream that starts
// with the program's name.
namespace CliOutput {

inline const QString kProgram = QStringLiteral("mobrin-cli");

void write(std::ostream& out, const QString& text);
void line(std::ostream& out, const QString& text);
// Writes "mobrin-cli: `message`" as one line and returns `exitCode`.
int fail(std::ostream& err, int exitCode, const QString& message);

} // namespace CliOutput

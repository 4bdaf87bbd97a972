// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandOptions.h"

#include "CliOutput.h"
#include "ExitCode.h"

CommandOptions::CommandOptions(const CommandUsage& usage)
    : m_command(QLatin1String(usage.name)), m_help(usage.help()) {
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    addFlag({QStringLiteral("h"), QStringLiteral("help")});
}

void CommandOptions::addFlag(const QStringList& names) {
    m_parser.addOption(QCommandLineOption(names));
}

void CommandOptions::addValue(const QStringList& names, const QString& valueName) {
    m_parser.addOption(QCommandLineOption(names, QString(), valueName));
    m_valueOptions.append(names.first());
}

std::optional<int> CommandOptions::parse(const QStringList& arguments, int fileCount,
                                         std::ostream& out, std::ostream& err) {
    // The parser skips its first argument as the program's name.
    if (!m_parser.parse(QStringList{CliOutput::kProgram} + arguments)) {
        QString message = m_parser.errorText();
        if (message.endsWith(QLatin1Char('.'))) {
            message.chop(1);
        }
        return usageError(err, message);
    }
    if (m_parser.isSet(QStringLiteral("help"))) {
        CliOutput::write(out, m_help);
        return ExitCode::kOk;
    }
    // A value given twice is a mistake in the script, not a choice of the last one.
    for (const QString& name : m_valueOptions) {
        if (m_parser.values(name).size() > 1) {
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usageError(err,
                              QStringLiteral("%1%2 is given more than once").arg(dashes, name));
        }
    }
    if (!m_fileStandIn.isEmpty() && m_parser.isSet(m_fileStandIn)) {
        fileCount = 0;
    }
    const qsizetype files = m_parser.positionalArguments().size();
    if (files < fileCount) {
        return usageError(err, QStringLiteral("missing file name"));
    }
    if (files > fileCount && !m_anyFileCount) {
        return usageError(err, QStringLiteral("unexpected argument '%1'")
                                   .arg(m_parser.positionalArguments().at(fileCount)));
    }
    return std::nullopt;
}

std::optional<int> CommandOptions::parseAndRead(const QStringList& arguments, FileInput& input,
                                                std::ostream& out, std::ostream& err) {
    if (const auto stop = parse(arguments, 1, out, err)) {
        return stop;
    }
    return read(input, err);
}

std::optional<int> CommandOptions::read(FileInput& input, std::ostream& err, int index) const {
    input = FileInput::read(file(index));
    return input.ok() ? std::nullopt : std::optional(input.fail(err));
}

std::optional<int> CommandOptions::readAddin(FileInput& input, std::ostream& err) const {
    input = FileInput::readAddin(file());
    return input.ok() ? std::nullopt : std::optional(input.fail(err));
}

int CommandOptions::usageError(std::ostream& err, const QString& message) const {
    return CliOutput::fail(
        err, ExitCode::kUsage,
        QStringLiteral("%1: %2 (see '%3 %1 --help')").arg(m_command, message, CliOutput::kProgram));
}

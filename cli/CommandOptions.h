// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandUsage.h"
#include "FileInput.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

// The options of one sub-command, parsed from the arguments after its name, and the files they
// name read. Help, usage errors and unreadable files are answered here so that every sub-command
// treats them alike.
class CommandOptions {
public:
    // Its help is printed for -h and --help.
    explicit CommandOptions(const CommandUsage& usage);

    void addFlag(const QStringList& names);
    // An option that takes a value, at most once.
    void addValue(const QStringList& names, const QString& valueName);
    // When the option `name` is given, the command takes no file at all: the option names
    // what the command reads instead.
    void setFileStandIn(const QString& name) { m_fileStandIn = name; }
    // The command takes any number of files, at least as many as parse() is given.
    void setAnyFileCount() { m_anyFileCount = true; }

    // Parses `arguments`, which must hold exactly `fileCount` file names (or more, see
    // setAnyFileCount()) besides the options.
    // Returns the exit code when the command must stop here: 0 after printing the help, the
    // usage code after a usage error on `err`; nothing when the command can run.
    std::optional<int> parse(const QStringList& arguments, int fileCount, std::ostream& out,
                             std::ostream& err);

    // parse() for one file, then read() of it, for a command with no options to check first.
    std::optional<int> parseAndRead(const QStringList& arguments, FileInput& input,
                                    std::ostream& out, std::ostream& err);
    // The file `index` read into `input` as FileInput::read() reads it; readAddin() also parses
    // its header, refusing a file that is not a complete add-in. When it cannot be, its error
    // goes to `err` and the exit code is returned; nothing when the command can go on.
    std::optional<int> read(FileInput& input, std::ostream& err, int index = 0) const;
    std::optional<int> readAddin(FileInput& input, std::ostream& err) const;

    bool isSet(const QString& name) const { return m_parser.isSet(name); }
    QString value(const QString& name) const { return m_parser.value(name); }
    QString file(int index = 0) const { return m_parser.positionalArguments().value(index); }
    QStringList files() const { return m_parser.positionalArguments(); }

    // Reports a usage error found by the command itself, pointing to the command's help.
    int usageError(std::ostream& err, const QString& message) const;

private:
    QString m_command;
    QString m_help;
    QString m_fileStandIn;
    bool m_anyFileCount = false;
    QStringList m_valueOptions; // the first name of each option that takes a value
    QCommandLineParser m_parser;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

// The options of one sub-command, parsed from the arguments after its name. Help and usage
// errors are answered here so that every sub-command treats them alike.
class CommandOptions {
public:
    // `command` is the sub-command's name; `help` is printed for -h and --help.
    CommandOptions(QString command, QString help);

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

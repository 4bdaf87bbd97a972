// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "MainWindow.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace CommandLine {

std::optional<QString> fileToOpen(const QStringList& arguments) {
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Inspect and patch REX add-ins."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("file"),
                                  QStringLiteral("An add-in to open (.rex or .DS2)."),
                                  QStringLiteral("[file]"));
    options.process(arguments);
    const QStringList files = options.positionalArguments();
    if (files.isEmpty()) {
        return std::nullopt;
    }
    // The caption and every later save name the file by its full path, whichever folder
    // the program was started in.
    return QFileInfo(files.constFirst()).absoluteFilePath();
}

bool asksForInformation(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--")) {
            return false;
        }
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help") ||
            argument == QLatin1String("--help-all") || argument == QLatin1String("-v") ||
            argument == QLatin1String("--version")) {
            return true;
        }
    }
    return false;
}

void openWhenShown(MainWindow& window, const QString& path) {
    // Queued like every command, so that the window is on screen before any question.
    window.openFile(path);
}

} // namespace CommandLine

#include "CommandLine.h"

#include "MainWindow.h"

#include <QCommandLineParser>
#include <QTimer>

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
    return files.constFirst();
}

void openWhenShown(MainWindow& window, const QString& path) {
    // Queued, so that the window is on screen before any question about the file.
    QTimer::singleShot(0, &window, [&window, path] { window.openFile(path); });
}

} // namespace CommandLine

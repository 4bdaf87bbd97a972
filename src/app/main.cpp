#include "AppIcon.h"
#include "AppTitle.h"
#include "CommandLine.h"
#include "DumpFiles.h"
#include "MainWindow.h"
#include "QtPrompts.h"
#include "Version.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(appTitle());
    QApplication::setApplicationVersion(QString::fromLatin1(Version::kText));
    QApplication::setWindowIcon(appIcon());
    const std::optional<QString> file = CommandLine::fileToOpen(QApplication::arguments());

    // The temporary dump files live as long as the program, whichever window closes last.
    DumpFiles dumpFiles;
    QtPrompts prompts;
    MainWindow window(prompts, dumpFiles);
    window.show();
    if (file) {
        CommandLine::openWhenShown(window, *file);
    }
    return QApplication::exec();
}

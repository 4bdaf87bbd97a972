#include "AppIcon.h"
#include "AppTitle.h"
#include "DumpFiles.h"
#include "MainWindow.h"
#include "QtPrompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "Version.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(appTitle());
    QApplication::setApplicationVersion(QString::fromLatin1(Version::kText));
    QApplication::setWindowIcon(appIcon());

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Inspect and patch REX add-ins."));
    options.addHelpOption();
    options.addVersionOption();
    options.addPositionalArgument(QStringLiteral("file"),
                                  QStringLiteral("An add-in to open (.rex or .DS2)."),
                                  QStringLiteral("[file]"));
    options.process(app);

    DumpFiles dumpFiles;
    QtPrompts prompts;
    MainWindow window(prompts, dumpFiles);
    window.show();
    if (!options.positionalArguments().isEmpty()) {
        const QString path = options.positionalArguments().constFirst();
        // Opened once the window is up, exactly as a file chosen in the open dialog.
        QTimer::singleShot(0, &window, [&window, path] { window.openFile(path); });
    }
    return QApplication::exec();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTitle.h"
#include "CommandLine.h"
#include "DumpFiles.h"
#include "FilePath.h"
#include "LateWindowIcon.h"
#include "MainWindow.h"
#include "QtPrompts.h"
#include "SignalQuit.h"
#include "Version.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[]) {
    // A write beyond a file-size limit (ulimit -f) then fails like any other failed write and
    // is reported as such, instead of ending the program with SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
    // The arguments byte for byte, so that a file name that is not UTF-8 opens the file it
    // names (QApplication::arguments() would turn such bytes into U+FFFD).
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(FilePath::fromBytes(argv[i]));
    }
    // The help and the version are answered without a window, so also where there is no
    // display to open one on.
    if (CommandLine::asksForInformation(arguments)) {
        const QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(appTitle());
        QCoreApplication::setApplicationVersion(QString::fromLatin1(Version::kText));
        CommandLine::fileToOpen(arguments);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(appTitle());
    QApplication::setApplicationVersion(QString::fromLatin1(Version::kText));
    // Desktops match the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.keldor.Mobrin"));
    const std::optional<QString> file = CommandLine::fileToOpen(arguments);

    // Set up before the temporary folder exists, so that no signal can leave it behind.
    const SignalQuit signalQuit;
    int code = 0;
    {
        // The temporary dump files live as long as the program, whichever window closes last.
        DumpFiles dumpFiles;
        QtPrompts prompts;
        MainWindow window(prompts, dumpFiles);
        prompts.setParent(&window);
        window.show();
        LateWindowIcon::setAfterFirstPaint(window);
        if (file) {
            CommandLine::openWhenShown(window, *file);
        }
        code = QApplication::exec();
    }
    // Everything, the temporary folder included, is gone: a signal may end the process now.
    signalQuit.endBySignal();
    return code;
}

#include "CliMain.h"

#include <QCoreApplication>

#include <csignal>
#include <iostream>

int main(int argc, char* argv[]) {
    // A write beyond the file-size limit then fails with an error the command reports,
    // instead of ending the program halfway.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication app(argc, argv);
    const int code = CliMain::run(QCoreApplication::arguments().mid(1), std::cout, std::cerr);
    std::cout.flush();
    return code;
}

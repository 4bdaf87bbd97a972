// SPDX-License-Identifier: GPL-3.0-or-later
// mobrin-iconexport SIZE OUT.png [SIZE OUT.png ...]
// Writes the program's icon, as the window draws it, at each SIZE x SIZE into OUT.png.
#include "AppIcon.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    // It only draws into images, so it never needs a screen, even in a build without one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.size() % 2 != 0) {
        std::fprintf(stderr, "usage: mobrin-iconexport SIZE OUT.png [SIZE OUT.png ...]\n");
        return 2;
    }
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        bool ok = false;
        const int size = arguments[i].toInt(&ok);
        const QString path = arguments[i + 1];
        if (!ok || size <= 0) {
            std::fprintf(stderr, "mobrin-iconexport: bad size '%s'\n", qPrintable(arguments[i]));
            return 2;
        }
        const QImage image = appIconImage(size);
        if (image.size() != QSize(size, size)) {
            std::fprintf(stderr, "mobrin-iconexport: the icon came out %dx%d, not %dx%d\n",
                         image.width(), image.height(), size, size);
            return 1;
        }
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "mobrin-iconexport: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}

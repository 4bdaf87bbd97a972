// SPDX-License-Identifier: GPL-3.0-or-later
// A bare Qt Widgets window with the same kinds of widgets as Mobrin's main window, and nothing
// else: a menu bar, two plain-text panes, two rows of line edits, a check box and a status
// bar. The yardstick for start-up, idle CPU and memory.
//   bench_bare_window [FILE]   with a file, the panes show its bytes as hex and as text,
//                              a line of 16 bytes a paragraph, before the window appears
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    for (const char* item : {"&Open", "Save", "Save &As...", "Propert&ies", "E&xit"}) {
        file->addAction(QString::fromLatin1(item));
    }
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About"));

    auto* client = new QWidget(&window);
    auto* grid = new QGridLayout(client);
    auto* hex = new QPlainTextEdit(client);
    auto* ascii = new QPlainTextEdit(client);
    // The hex pane takes typing, so that its caret blinks: the yardstick for idle CPU is a
    // window whose only activity is a blinking caret.
    ascii->setReadOnly(true);
    for (QPlainTextEdit* pane : {hex, ascii}) {
        pane->setFont(QFont(QStringLiteral("Monospace"), 8));
    }
    grid->addWidget(hex, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("0000"), client), 0, 4);
    grid->addWidget(ascii, 0, 5, 1, 2);
    for (int i = 0; i < 8; ++i) {
        auto* box = new QLineEdit(client);
        box->setReadOnly(true);
        grid->addWidget(box, 1 + i / 4, i % 4);
    }
    grid->addWidget(new QCheckBox(QStringLiteral("Strip header"), client), 1, 5);
    window.setCentralWidget(client);
    for (int i = 0; i < 4; ++i) {
        window.statusBar()->addPermanentWidget(new QLabel(QStringLiteral("$0"), &window));
    }
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            QString hexLines;
            QString textLines;
            for (qsizetype line = 0; line < bytes.size(); line += 16) {
                const QByteArray part = bytes.mid(line, 16);
                hexLines += QString::fromLatin1(part.toHex(' ').toUpper()) + QLatin1Char('\n');
                for (const char byte : part) {
                    textLines += quint8(byte) > 0x20 && quint8(byte) < 0x7F ? QLatin1Char(byte)
                                                                            : QLatin1Char('.');
                }
                textLines += QLatin1Char('\n');
            }
            hex->setPlainText(hexLines);
            ascii->setPlainText(textLines);
        }
    }
    window.setFixedSize(636, 430);
    window.show();
    hex->setFocus();
    return QApplication::exec();
}

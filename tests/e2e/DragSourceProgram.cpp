// SPDX-License-Identifier: GPL-3.0-or-later
// A file manager's part in the drop journeys: a small window that starts dragging the file
// named on its command line when a mouse button goes down on it. It prints "ready X Y" (the
// centre of its window on the screen) once it is on screen, and "dropped" or "refused" when
// the drag has ended.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <cstdio>

namespace {

class DragSourceWindow : public QLabel {
public:
    explicit DragSourceWindow(QString path)
        : QLabel(QStringLiteral("Drag me")), m_path(std::move(path)) {}

protected:
    void mousePressEvent(QMouseEvent* /*event*/) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(m_path)});
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction);
        std::printf("%s\n", action == Qt::IgnoreAction ? "refused" : "dropped");
        std::fflush(stdout);
    }

private:
    QString m_path;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    DragSourceWindow window(QString::fromLocal8Bit(argv[1]));
    window.setWindowTitle(QStringLiteral("Drag source"));
    window.setAlignment(Qt::AlignCenter);
    window.resize(160, 120);
    // The bottom right corner, away from the windows the journeys drop on.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    window.move(screen.right() - 200, screen.bottom() - 160);
    window.show();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (window.windowHandle() && window.windowHandle()->isExposed()) {
            poll.stop();
            const QPoint centre = window.mapToGlobal(window.rect().center());
            std::printf("ready %d %d\n", centre.x(), centre.y());
            std::fflush(stdout);
        }
    });
    poll.start(50);
    return QApplication::exec();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QImage>

class QAction;

// The icon box: a sunken border around a 40 x 32 drawing area of its own pixels. Those
// pixels are the truth the icon code is read back from; on a dense screen they are only
// scaled for display. Its context menu offers "Replace icon...", and a file dropped on it is
// handed on for the window to decide what it is.
class IconBox : public QFrame {
    Q_OBJECT

public:
    explicit IconBox(QWidget* parent = nullptr);

    const QImage& pixels() const { return m_pixels; }
    // Clears the drawing area to the box's background colour.
    void clear();
    // Paints the icon bytes over the drawing area, point by point.
    void paintIcon(const QByteArray& iconBytes);
    // The context menu's "Replace icon..."; disabled until the window enables it.
    QAction* replaceAction() const { return m_replace; }

signals:
    void doubleClicked();
    // One local file was dropped on the box.
    void fileDropped(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QImage m_pixels;
    QAction* m_replace;
};

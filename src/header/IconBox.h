#pragma once

#include <QFrame>
#include <QImage>

// The icon box: a sunken border around a 40 x 32 drawing area of its own pixels. Those
// pixels are the truth the icon code is read back from; on a dense screen they are only
// scaled for display.
class IconBox : public QFrame {
    Q_OBJECT

public:
    explicit IconBox(QWidget* parent = nullptr);

    const QImage& pixels() const { return m_pixels; }
    // Clears the drawing area to the box's background colour.
    void clear();
    // Paints the icon bytes over the drawing area, point by point.
    void paintIcon(const QByteArray& iconBytes);

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage m_pixels;
};

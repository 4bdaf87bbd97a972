#include "IconBox.h"

#include "AddinHeader.h"
#include "IconBitmap.h"

#include <QMouseEvent>
#include <QPainter>

IconBox::IconBox(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Picture1"));
    setToolTip(QStringLiteral("AddIn Icon - DubleClick for icon code."));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(AddinHeader::kIconWidth + 4, AddinHeader::kIconHeight + 4);
    clear();
}

void IconBox::clear() {
    m_pixels = IconBitmap::cleared(palette().color(QPalette::Window));
    update();
}

void IconBox::paintIcon(const QByteArray& iconBytes) {
    IconBitmap::paint(m_pixels, iconBytes);
    update();
}

void IconBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.drawImage(contentsRect(), m_pixels);
}

void IconBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QFrame::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "IconBox.h"

#include "AddinHeader.h"
#include "IconBitmap.h"

#include <QAction>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {

// The one local file a drag carries, or nothing.
QString droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data->urls();
    return urls.size() == 1 && urls.constFirst().isLocalFile() ? urls.constFirst().toLocalFile()
                                                               : QString();
}

} // namespace

IconBox::IconBox(QWidget* parent)
    : QFrame(parent), m_replace(new QAction(QStringLiteral("Replace icon..."), this)) {
    setObjectName(QStringLiteral("Picture1"));
    setToolTip(QStringLiteral("AddIn Icon - DubleClick for icon code."));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(AddinHeader::kIconWidth + 4, AddinHeader::kIconHeight + 4);
    m_replace->setObjectName(QStringLiteral("mnuIconReplace"));
    m_replace->setEnabled(false);
    addAction(m_replace);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    setAcceptDrops(true);
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

void IconBox::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void IconBox::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    emit fileDropped(path);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileNameIconProvider.h"

#include <QMimeDatabase>

namespace {

QMimeType typeByName(const QFileInfo& info) {
    return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
}

} // namespace

QIcon FileNameIconProvider::icon(const QFileInfo& info) const {
    if (info.isDir()) {
        return icon(Folder);
    }
    const QIcon themed = QIcon::fromTheme(typeByName(info).iconName());
    return themed.isNull() ? icon(File) : themed;
}

QString FileNameIconProvider::type(const QFileInfo& info) const {
    if (!info.isFile()) {
        return QFileIconProvider::type(info); // a folder, a link or a device: nothing is read
    }
    const QMimeType type = typeByName(info);
    return type.comment().isEmpty() ? type.name() : type.comment();
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileIconProvider>

// The file dialog's icons and type names, told from each file's name alone. Qt's own provider
// reads the first bytes of every file it lists to learn its type, on the window's thread: a
// file whose read never returns, such as /proc/kmsg, hangs the window as soon as the dialog
// shows its folder, and Save As opens in the folder of the name chosen last, /proc included.
class FileNameIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};

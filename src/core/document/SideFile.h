// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

// A file the window writes beside the add-in from what it holds (its source, the answers of a
// run): offered under the add-in's own name, and never written over the add-in itself,
// whatever name leads to it.
namespace SideFile {

// "FOLDER/NAME.asm" beside "FOLDER/NAME.rex", for `suffix` ".asm".
QString besideAddin(const QString& addinPath, const QString& suffix);
// Writes `bytes` to `path` all or nothing; what to tell when it was not written ("The source
// cannot be written over the add-in itself!" for `what` "The source"), empty when it was.
QString write(const QString& path, QByteArrayView bytes, const QString& addinPath,
              const QString& what);

} // namespace SideFile

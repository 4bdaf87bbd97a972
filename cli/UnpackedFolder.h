// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The folder `unpack` writes and `build --from` reads: the header's fields in header.json
// (see HeaderJson), the icon as icon.png (40 x 32, as `icon --png` writes it) and the code as
// code.bin; beside them the whole add-in as assembler source, addin.asm (as `source` writes
// it), which `build --from` does not read: the assembler builds the add-in from it.
namespace UnpackedFolder {

inline const QString kHeader = QStringLiteral("header.json");
inline const QString kIcon = QStringLiteral("icon.png");
inline const QString kCode = QStringLiteral("code.bin");
inline const QString kSource = QStringLiteral("addin.asm");

// The file `name` in `folder`, named as the user named the folder ("out/" gives "out/code.bin").
inline QString file(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The sentence that refuses to build from `folder` when addin.asm was changed after a file that
// `build --from` reads: that file may not hold the change. Empty when it was not.
QString staleSource(const QString& folder);

} // namespace UnpackedFolder

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The folder `unpack` writes and `build --from` reads: the header's fields in header.json
// (see HeaderJson), the icon as icon.png (40 x 32, as `icon --png` writes it) and the code as
// code.bin; beside them the whole add-in as assembler source, addin.asm (as `source` writes
// it), which `build --from` does not read: the assembler builds the add-in from it; and, from
// `unpack --marks`, the author's marks as addin.marks.
namespace UnpackedFolder {

inline const QString kHeader = QStringLiteral("header.json");
inline const QString kIcon = QStringLiteral("icon.png");
inline const QString kCode = QStringLiteral("code.bin");
inline const QString kSource = QStringLiteral("addin.asm");
// The author's marks (mobrin(5)), when unpack was given them; build --from writes them beside
// the add-in it builds.
inline const QString kMarks = QStringLiteral("addin.marks");

// The file `name` in `folder`, named as the user named the folder ("out/" gives "out/code.bin").
inline QString file(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

struct Refusal {
    int exitCode = 0;
    QString sentence;
};

// Why `build --from` must not build from `folder` because of its addin.asm: the source holds a
// change that the files build --from reads may not hold (exit 5), or it is not a regular file
// or cannot be read (exit 3). Nothing when the folder holds no addin.asm. `recordedDigest` is
// what header.json records of the source unpack wrote; a source that still has that digest is
// unchanged whatever the files' times. Without one, addin.asm counts as changed when it was
// modified after one of the other three.
std::optional<Refusal> sourceRefusal(const QString& folder, const QByteArray& recordedDigest);

} // namespace UnpackedFolder

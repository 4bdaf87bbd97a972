// SPDX-License-Identifier: GPL-3.0-or-later
#include "SideFile.h"

#include "CommandTexts.h"
#include "FileReplacer.h"
#include "RegularFile.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>

namespace SideFile {

QString besideAddin(const QString& addinPath, const QString& suffix) {
    const QFileInfo addin(addinPath);
    return addin.dir().filePath(addin.completeBaseName() + suffix);
}

QString write(const QString& path, QByteArrayView bytes, const QString& addinPath,
              const QString& what) {
    const RegularFile addin(addinPath, O_RDONLY);
    const FileReplacer::Result result = FileReplacer::replace(
        path, bytes, addin.isOpen() ? std::optional(addin.identity()) : std::nullopt);
    switch (result.outcome) {
    case FileReplacer::Outcome::Written:
        return {};
    case FileReplacer::Outcome::InexactName:
        return CommandTexts::kInexactName;
    case FileReplacer::Outcome::IsInput:
        return what + QStringLiteral(" cannot be written over the add-in itself!");
    case FileReplacer::Outcome::NotRegularFile:
    case FileReplacer::Outcome::Failed:
        break;
    }
    return CommandTexts::withReason(CommandTexts::kSaveError, result.reason());
}

} // namespace SideFile

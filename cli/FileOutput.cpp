// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileOutput.h"

#include "FileReplacer.h"

namespace FileOutput {

QString write(const QString& path, const QByteArray& bytes, std::optional<FileIdentity> input,
              const QString& what) {
    return refusal(path, FileReplacer::replace(path, bytes, input), what);
}

QString refusal(const QString& path, const FileReplacer::Result& result, const QString& what) {
    QString why;
    switch (result.outcome) {
    case FileReplacer::Outcome::Written:
        return {};
    case FileReplacer::Outcome::NotRegularFile:
        why = QStringLiteral(": it is not a regular file");
        break;
    case FileReplacer::Outcome::IsInput:
        why = QStringLiteral(": it is the input file itself");
        break;
    case FileReplacer::Outcome::InexactName:
        why = QStringLiteral(": the name may stand for another file");
        break;
    case FileReplacer::Outcome::Failed:
        if (!result.reason().isEmpty()) {
            why = QLatin1String(": ") + result.reason();
        }
        break;
    }
    return path + QLatin1String(": cannot write ") + what + why;
}

} // namespace FileOutput

// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpFiles.h"

#include "CodePage.h"

#include <QDir>
#include <QFile>

namespace {

bool writeText(const QString& path, const QString& text) {
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const QByteArray bytes = CodePage::encode(text);
    return file.write(bytes) == bytes.size() && file.flush();
}

std::optional<QString> readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return CodePage::decode(file.readAll());
}

} // namespace

DumpFiles::DumpFiles() : m_owned(std::make_unique<QTemporaryDir>()) {
    m_folder = m_owned->isValid() ? m_owned->path() : QString();
}

DumpFiles::DumpFiles(QString folder) : m_folder(std::move(folder)) {}

DumpFiles::~DumpFiles() {
    if (!m_owned && !m_folder.isEmpty()) {
        QFile::remove(hexPath());
        QFile::remove(asciiPath());
    }
}

QString DumpFiles::hexPath() const {
    return QDir(m_folder).filePath(QLatin1String(kHexName));
}

QString DumpFiles::asciiPath() const {
    return QDir(m_folder).filePath(QLatin1String(kAsciiName));
}

std::optional<DumpFiles::Texts> DumpFiles::roundTrip(const QString& hex,
                                                     const QString& ascii) const {
    if (m_folder.isEmpty() || !writeText(hexPath(), hex) || !writeText(asciiPath(), ascii)) {
        return std::nullopt;
    }
    auto hexBack = readText(hexPath());
    auto asciiBack = readText(asciiPath());
    if (!hexBack || !asciiBack) {
        return std::nullopt;
    }
    return Texts{std::move(*hexBack), std::move(*asciiBack)};
}

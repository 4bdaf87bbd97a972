// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpFiles.h"

#include "CodePage.h"
#include "RegularFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>

namespace {

bool writeText(const QString& path, const QString& text, QString& reason) {
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        reason = file.errorString();
        return false;
    }
    // Written past QFile's buffer, so that a write cut short (a full disk, a file-size limit)
    // keeps the system's reason.
    if (!RegularFile::writeAll(file.handle(), CodePage::encode(text), 0)) {
        reason = qt_error_string(errno);
        return false;
    }
    return true;
}

std::optional<QString> readText(const QString& path, QString& reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
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

std::optional<DumpFiles::Texts> DumpFiles::roundTrip(const QString& hex, const QString& ascii,
                                                     QString* reason) const {
    QString why;
    const auto failed = [&] {
        if (reason) {
            *reason = why;
        }
        return std::nullopt;
    };
    if (m_folder.isEmpty() || !writeText(hexPath(), hex, why) ||
        !writeText(asciiPath(), ascii, why)) {
        return failed();
    }
    auto hexBack = readText(hexPath(), why);
    auto asciiBack = hexBack ? readText(asciiPath(), why) : std::nullopt;
    if (!hexBack || !asciiBack) {
        return failed();
    }
    return Texts{std::move(*hexBack), std::move(*asciiBack)};
}

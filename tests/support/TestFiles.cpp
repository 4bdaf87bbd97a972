#include "TestFiles.h"

#include "AddinHeader.h"

#include <QFile>

TestFiles::TestFiles() {
    m_dir.setAutoRemove(true);
}

QString TestFiles::write(const QString& name, const QByteArray& bytes) const {
    const QString filePath = path(name);
    QFile file(filePath);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
    return filePath;
}

QByteArray TestFiles::read(const QString& filePath) {
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray TestFiles::icon() {
    QByteArray bytes;
    for (int i = 0; i < AddinHeader::kIconBytes; ++i) {
        bytes.append(char((i * 37 + i / 5) & 0xFF));
    }
    bytes[0] = char(0x81);
    return bytes;
}

QByteArray TestFiles::addin(const QByteArray& name, const QByteArray& description, int codeLength,
                            int totalSize, const QByteArray& classText) {
    QByteArray bytes = buildAddinHeader(classText, name, description, 0x1234, 0x0000, icon());
    for (int i = 0; i < codeLength; ++i) {
        bytes.append(char(i % 0xFF));
    }
    if (bytes.size() < totalSize) {
        bytes.append(totalSize - bytes.size(), char(0xFF));
    }
    return bytes;
}

#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The add-in file held in memory exactly as it lies on disk, with the path it came from.
// The bytes, the path and the size always change together: a failed open leaves all three.
class AddinImage {
public:
    static constexpr qint64 kMaxFileSize = 9000;
    static constexpr qint64 kPaddedSize = 8192;
    static constexpr char kPadByte = char(0xFF);

    enum class ProbeOutcome { Ok, Missing, NotRegularFile, TooLong };
    struct Probe {
        ProbeOutcome outcome = ProbeOutcome::Missing;
        qint64 size = 0;
    };

    // What the file at `path` is, without opening it (so a FIFO never blocks).
    static Probe probe(const QString& path);
    static qint64 paddingFor(qint64 size) { return size < kPaddedSize ? kPaddedSize - size : 0; }

    // Appends 0xFF bytes after the first `size` bytes of the file on disk up to 8192 bytes.
    static bool padOnDisk(const QString& path, qint64 size);
    // Exactly `size` bytes from the start of a regular file, or nothing.
    static std::optional<QByteArray> readFile(const QString& path, qint64 size);
    // Replaces the file by `bytes` through a temporary file beside it and a rename, so that a
    // failed write leaves the old file intact. A symbolic link (or a chain of them) stays a
    // link; the file it leads to is replaced. An existing file that may not be written is
    // refused, even where its folder would allow replacing it.
    static bool writeFile(const QString& path, const QByteArray& bytes);

    AddinImage() = default;
    AddinImage(QByteArray bytes, QString path)
        : m_bytes(std::move(bytes)), m_path(std::move(path)) {}

    bool isLoaded() const { return !m_path.isEmpty(); }
    const QByteArray& bytes() const { return m_bytes; }
    QByteArray& bytes() { return m_bytes; }
    const QString& path() const { return m_path; }
    // The image's length: what the file holds once it has been opened (and padded).
    int fileSize() const { return int(m_bytes.size()); }

    bool saveTo(const QString& path) const { return writeFile(path, m_bytes); }
    void setPath(const QString& path) { m_path = path; }

private:
    QByteArray m_bytes;
    QString m_path;
};

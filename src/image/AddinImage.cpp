#include "AddinImage.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens without blocking (a FIFO would wait for a writer) and accepts regular files only.
class RegularFile {
public:
    RegularFile(const QString& path, int flags)
        : m_fd(::open(QFile::encodeName(path).constData(), flags | O_NONBLOCK | O_CLOEXEC)) {
        struct stat info {};
        if (m_fd >= 0 && (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~RegularFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

private:
    int m_fd;
};

bool writeAllAt(int fd, const char* data, qint64 length, qint64 offset) {
    while (length > 0) {
        const ssize_t written = ::pwrite(fd, data, size_t(length), off_t(offset));
        if (written <= 0) {
            return false;
        }
        data += written;
        length -= written;
        offset += written;
    }
    return true;
}

} // namespace

AddinImage::Probe AddinImage::probe(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {ProbeOutcome::Missing, 0};
    }
    if (!info.isFile()) {
        return {ProbeOutcome::NotRegularFile, 0};
    }
    const qint64 size = info.size();
    return {size > kMaxFileSize ? ProbeOutcome::TooLong : ProbeOutcome::Ok, size};
}

bool AddinImage::padOnDisk(const QString& path, qint64 size) {
    const qint64 count = paddingFor(size);
    if (count == 0) {
        return true;
    }
    RegularFile file(path, O_WRONLY);
    if (!file.isOpen()) {
        return false;
    }
    const QByteArray padding(count, kPadByte);
    return writeAllAt(file.fd(), padding.constData(), count, size) && ::fsync(file.fd()) == 0;
}

std::optional<QByteArray> AddinImage::readFile(const QString& path, qint64 size) {
    RegularFile file(path, O_RDONLY);
    if (!file.isOpen() || size < 0 || size > kMaxFileSize) {
        return std::nullopt;
    }
    QByteArray bytes(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::pread(file.fd(), bytes.data() + done, size_t(size - done), done);
        if (got <= 0) {
            return std::nullopt;
        }
        done += got;
    }
    return bytes;
}

bool AddinImage::writeFile(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    QSaveFile file(info.isSymLink() ? info.symLinkTarget() : path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

#include "AddinImage.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>

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

// As many links as the system itself follows before it gives up (Linux's MAXSYMLINKS).
constexpr int kMaxLinkDepth = 40;

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
    // A symbolic link stays a link: the file at the end of its chain is what gets replaced
    // (a link to a link would otherwise lose the inner link to the rename below). A chain
    // that never ends is a loop and cannot be written.
    QString target = QFileInfo(path).absoluteFilePath();
    for (int depth = 0; QFileInfo(target).isSymLink(); ++depth) {
        if (depth == kMaxLinkDepth) {
            return false;
        }
        target = QFileInfo(target).symLinkTarget();
    }
    const QFileInfo targetInfo(target);
    // A file its owner made read-only is not replaced behind their back, even where the
    // folder would allow the rename.
    if (::access(QFile::encodeName(target).constData(), W_OK) != 0 && errno != ENOENT) {
        return false;
    }

    // The new bytes go to a temporary file beside the target first; only a complete, synced
    // copy is renamed over the old file. (QSaveFile reports success for a write cut short by
    // a file-size limit, so every write is checked here instead.)
    QByteArray tempName = QFile::encodeName(targetInfo.absolutePath() + QLatin1String("/.") +
                                            targetInfo.fileName() + QLatin1String(".XXXXXX"));
    const int fd = ::mkostemp(tempName.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat old {};
    mode_t mode = 0666;
    if (::stat(QFile::encodeName(target).constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    const bool written = writeAllAt(fd, bytes.constData(), bytes.size(), 0) &&
                         ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::rename(tempName.constData(), QFile::encodeName(target).constData()) != 0) {
        ::unlink(tempName.constData());
        return false;
    }
    return true;
}

#include "whole_file.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Failed(QString* reason) {
    *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// Closes and removes the temporary file unless it was renamed; keeps errno for the reason.
class TemporaryFile {
public:
    explicit TemporaryFile(const QByteArray& target)
        : m_name(target + QByteArrayLiteral(".XXXXXX")) {
        m_fd = ::mkostemp(m_name.data(), O_CLOEXEC);
    }
    ~TemporaryFile() {
        const int saved = errno;
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (m_fd >= 0 && !m_renamed) {
            ::unlink(m_name.constData());
        }
        errno = saved;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int Fd() const { return m_fd; }
    bool RenameTo(const QByteArray& target) {
        m_renamed = ::rename(m_name.constData(), target.constData()) == 0;
        return m_renamed;
    }

private:
    QByteArray m_name;
    int m_fd = -1;
    bool m_renamed = false;
};

} // namespace

bool WriteAllBytes(int fd, const QByteArray& bytes, QString* reason) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<std::size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return Failed(reason);
        }
        data += written;
        left -= written;
    }
    return true;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, mode_t mode, QString* reason,
                    Durability durability) {
    const QByteArray target = QFile::encodeName(path);
    TemporaryFile file(target);
    if (file.Fd() < 0) {
        return Failed(reason);
    }
    if (::fchmod(file.Fd(), mode) != 0) {
        return Failed(reason);
    }
    if (!WriteAllBytes(file.Fd(), bytes, reason)) {
        return false;
    }
    // A full disk may only say so when the data reaches it.
    if ((durability == Durability::Flushed && ::fsync(file.Fd()) != 0) || !file.RenameTo(target)) {
        return Failed(reason);
    }
    return true;
}

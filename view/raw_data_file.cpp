#include "raw_data_file.h"

#include "resource.h"
#include "string_table.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr mode_t kNewFileMode = 0666;

QString SystemReason(int error) {
    return QString::fromStdString(std::generic_category().message(error));
}

// Writes all of the bytes, resuming after partial writes; false with errno set when the file
// takes no more.
bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        done += written;
    }
    return true;
}

class CAppendHandle {
public:
    ~CAppendHandle() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (m_created && !m_kept) {
            ::unlink(m_path.constData());
        }
    }

    // Opens an existing file, or creates it; the folder must exist.
    bool Open(const QByteArray& path) {
        m_path = path;
        m_fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (m_fd < 0 && errno == ENOENT) {
            m_fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_CREAT | O_EXCL,
                          kNewFileMode);
            m_created = m_fd >= 0;
        }
        return m_fd >= 0;
    }
    int Fd() const { return m_fd; }
    void Keep() { m_kept = true; }

private:
    QByteArray m_path;
    int m_fd = -1;
    bool m_created = false;
    bool m_kept = false;
};

} // namespace

QString CRawDataFile::Append(std::span<const std::int32_t> values) const {
    QByteArray bytes(static_cast<qsizetype>(values.size_bytes()), Qt::Uninitialized);
    // No values (an empty block) still create the file; there is just nothing to convert.
    if (!values.empty()) {
        qToLittleEndian<std::int32_t>(values.data(), static_cast<qsizetype>(values.size()),
                                      bytes.data());
    }

    CAppendHandle file;
    if (!file.Open(QFile::encodeName(m_path))) {
        return SystemReason(errno);
    }
    if (::flock(file.Fd(), LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? LoadString(IDS_DATA_FILE_IN_USE) : SystemReason(errno);
    }
    struct stat before {};
    if (::fstat(file.Fd(), &before) != 0) {
        return SystemReason(errno);
    }
    if (!WriteAll(file.Fd(), bytes)) {
        const int error = errno;
        // A value cut in two would shift every later value: take back what did get written.
        if (::ftruncate(file.Fd(), before.st_size) != 0) {
            return SystemReason(errno);
        }
        return SystemReason(error);
    }
    file.Keep();
    return {};
}

#include "line_count.h"

#include "ids_upgrade.h"
#include "string_table.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Large reads keep the system calls few; the count itself runs at memory speed.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

class CFileDescriptor {
public:
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<std::int64_t> CountFileLines(const QString& path, QString& fault) {
    // Without O_NONBLOCK a named pipe would hold the window until someone writes to it.
    const CFileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.Get() < 0) {
        fault = qt_error_string(errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        fault = qt_error_string(errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        fault = LoadString(IDS_NOT_A_FILE);
        return std::nullopt;
    }
    std::vector<char> buffer(kChunkBytes);
    std::int64_t lines = 0;
    char last = '\n';
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            fault = qt_error_string(errno);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        const auto end = buffer.cbegin() + got;
        lines += std::count(buffer.cbegin(), end, '\n');
        last = *(end - 1);
    }
    return last == '\n' ? lines : lines + 1;
}

#include "line_count.h"

#include "ids_upgrade.h"
#include "string_table.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Few system calls, and each chunk is still in the cache when it is counted.
constexpr std::size_t kChunkBytes = std::size_t{256} << 10;

// memchr is vectorised in the C library whatever this build's optimisation, and S-record
// lines are long enough for its per-call cost not to matter.
std::int64_t CountLineEnds(const char* begin, const char* end) {
    std::int64_t lineEnds = 0;
    while (begin < end) {
        const void* found = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin));
        if (found == nullptr) {
            break;
        }
        ++lineEnds;
        begin = static_cast<const char*>(found) + 1;
    }
    return lineEnds;
}

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
        const char* end = buffer.data() + got;
        lines += CountLineEnds(buffer.data(), end);
        last = *(end - 1);
    }
    return last == '\n' ? lines : lines + 1;
}

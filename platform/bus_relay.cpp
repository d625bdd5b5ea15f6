#include "bus_relay.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// How much of one direction is held while the other side does not read.
constexpr qsizetype kBufferLimit = 256 * 1024;
constexpr qsizetype kChunk = 64 * 1024;

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(std::exchange(fd, -1));
    }
}

// One direction of the relay: what was read from one side and not yet written to the other.
struct Flow {
    int* from;
    int* to;
    QByteArray buffer;
    bool ended = false;

    bool WantsRead() const { return !ended && buffer.size() < kBufferLimit; }
    bool WantsWrite() const { return !buffer.isEmpty(); }
    // Drained after its source ended: the relay is over.
    bool Done() const { return ended && buffer.isEmpty(); }

    void Read() {
        char chunk[kChunk];
        const ssize_t got = ::recv(*from, chunk, sizeof(chunk), 0);
        if (got > 0) {
            buffer.append(chunk, got);
        } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
            ended = true;
        }
    }
    // False when the other side is gone.
    bool Write() {
        const ssize_t sent = ::send(*to, buffer.constData(), buffer.size(), MSG_NOSIGNAL);
        if (sent >= 0) {
            buffer.remove(0, sent);
            return true;
        }
        return errno == EAGAIN || errno == EINTR;
    }
};

short EventsFor(int fd, const Flow& out, const Flow& in) {
    short events = 0;
    if (*out.from == fd && out.WantsRead()) {
        events |= POLLIN;
    }
    if (*in.to == fd && in.WantsWrite()) {
        events |= POLLOUT;
    }
    return events;
}

} // namespace

CBusRelay::~CBusRelay() {
    Close();
}

bool CBusRelay::Start(const QString& socketPath, int stream, QByteArray pending,
                      Clock::time_point deadline, int cancelFd, QString* error) {
    m_stream = stream;
    m_pending = std::move(pending);
    m_deadline = deadline;
    m_cancelFd = cancelFd;
    m_socketPath = socketPath;
    const QByteArray path = QFile::encodeName(socketPath);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) {
        *error =
            socketPath + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(ENAMETOOLONG));
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    m_listen = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listen < 0 ||
        ::bind(m_listen, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listen, 1) != 0 || ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = socketPath + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CBusRelay::Established() {
    m_established = true;
    Wake();
}

void CBusRelay::Close() {
    if (m_thread.joinable()) {
        m_closing = true;
        Wake();
        m_thread.join();
    }
    CloseFd(m_listen);
    CloseFd(m_stream);
    CloseFd(m_wake[0]);
    CloseFd(m_wake[1]);
    if (!m_socketPath.isEmpty()) {
        QFile::remove(std::exchange(m_socketPath, QString()));
    }
}

void CBusRelay::Wake() {
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &byte, 1);
}

void CBusRelay::Run() {
    int client = -1;
    Flow toClient{&m_stream, &client, std::exchange(m_pending, QByteArray())};
    Flow toStream{&client, &m_stream, {}};
    while (!m_closing && !toClient.Done() && !toStream.Done()) {
        const bool guarded = !m_established;
        std::vector<pollfd> fds{{m_wake[0], POLLIN, 0}};
        if (guarded) {
            fds.push_back({m_cancelFd, POLLIN, 0});
        }
        const int listening = client < 0 ? m_listen : -1;
        fds.push_back({listening, POLLIN, 0});
        fds.push_back({client, EventsFor(client, toStream, toClient), 0});
        fds.push_back({m_stream, EventsFor(m_stream, toClient, toStream), 0});
        int timeoutMs = -1;
        if (guarded) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(m_deadline - Clock::now());
            timeoutMs = static_cast<int>(std::max<std::int64_t>(left.count(), 0));
        }
        const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready == 0 && guarded) {
            m_timedOut = true;
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            char drained[16];
            while (::read(m_wake[0], drained, sizeof(drained)) > 0) {
            }
        }
        if (guarded && (fds[1].revents & POLLIN) != 0) {
            m_cancelled = true;
            break;
        }
        const std::size_t first = guarded ? 2 : 1;
        if (fds[first].revents != 0) {
            client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            CloseFd(m_listen);
        }
        const short clientEvents = fds[first + 1].revents;
        const short streamEvents = fds[first + 2].revents;
        const short readable = POLLIN | POLLHUP | POLLERR;
        if ((clientEvents & readable) != 0 && toStream.WantsRead()) {
            toStream.Read();
        }
        if ((streamEvents & readable) != 0 && toClient.WantsRead()) {
            toClient.Read();
        }
        if (((clientEvents & POLLOUT) != 0 && !toClient.Write()) ||
            ((streamEvents & POLLOUT) != 0 && !toStream.Write())) {
            break;
        }
    }
    // Either side's end is the other's: the bus library sees its connection close.
    CloseFd(client);
    CloseFd(m_stream);
    CloseFd(m_listen);
}

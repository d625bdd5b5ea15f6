#include "delay_relay.h"

#include "loopback_ssh.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <condition_variable>
#include <deque>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Small writes go at once: the delay is the relay's, not Nagle's.
void NoDelay(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
}

} // namespace

// One direction: bytes read with the time they may go on.
struct DelayRelay::Lane {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::pair<Clock::time_point, std::string>> held;
    bool ended = false;

    void Read(int from, std::chrono::microseconds delay) {
        std::array<char, 16384> buffer{};
        ssize_t n = 0;
        while ((n = ::read(from, buffer.data(), buffer.size())) > 0) {
            const std::lock_guard lock(mutex);
            held.emplace_back(Clock::now() + delay, std::string(buffer.data(), n));
            changed.notify_one();
        }
        End();
    }

    void Write(int to) {
        std::unique_lock lock(mutex);
        while (true) {
            if (held.empty()) {
                if (ended) {
                    break;
                }
                changed.wait(lock);
                continue;
            }
            const Clock::time_point due = held.front().first;
            if (Clock::now() < due) {
                changed.wait_until(lock, due);
                continue;
            }
            const std::string bytes = std::move(held.front().second);
            held.pop_front();
            lock.unlock();
            const bool written =
                ::send(to, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size());
            lock.lock();
            if (!written) {
                break;
            }
        }
        ::shutdown(to, SHUT_WR);
    }

    void End() {
        const std::lock_guard lock(mutex);
        ended = true;
        changed.notify_one();
    }
};

DelayRelay::DelayRelay(int targetPort, std::chrono::milliseconds roundTrip)
    : m_targetPort(targetPort), m_oneWay(std::chrono::microseconds(roundTrip) / 2) {
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof(address);
    if (m_listen < 0 || ::pipe(m_wake) != 0 ||
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::listen(m_listen, 4) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return;
    }
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { Accept(); });
}

DelayRelay::~DelayRelay() {
    if (m_acceptor.joinable()) {
        (void)::write(m_wake[1], "x", 1);
        m_acceptor.join();
    }
    {
        const std::lock_guard lock(m_mutex);
        for (const int fd : m_sockets) {
            ::shutdown(fd, SHUT_RDWR);
        }
        for (const auto& lane : m_lanes) {
            lane->End();
        }
    }
    for (std::thread& thread : m_threads) {
        thread.join();
    }
    for (const int fd : m_sockets) {
        ::close(fd);
    }
    for (const int fd : {m_listen, m_wake[0], m_wake[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void DelayRelay::Accept() {
    std::array<pollfd, 2> fds{pollfd{m_listen, POLLIN, 0}, pollfd{m_wake[0], POLLIN, 0}};
    while (::poll(fds.data(), fds.size(), -1) > 0 && fds[1].revents == 0) {
        const int client = ::accept(m_listen, nullptr, nullptr);
        if (client >= 0) {
            Relay(client);
        }
    }
}

void DelayRelay::Relay(int client) {
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in target = Loopback(m_targetPort);
    const std::lock_guard lock(m_mutex);
    m_sockets.push_back(client);
    if (server < 0) {
        return;
    }
    m_sockets.push_back(server);
    if (::connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof(target)) != 0) {
        ::shutdown(client, SHUT_RDWR);
        return;
    }
    NoDelay(client);
    NoDelay(server);
    for (const auto& [from, to] : {std::pair{client, server}, std::pair{server, client}}) {
        auto lane = std::make_shared<Lane>();
        m_lanes.push_back(lane);
        m_threads.emplace_back([lane, from = from, delay = m_oneWay] { lane->Read(from, delay); });
        m_threads.emplace_back([lane, to = to] { lane->Write(to); });
    }
}

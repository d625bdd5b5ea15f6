#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <thread>

// Joins the one bus client that connects to a unix socket here to a byte stream (ssh's standard
// input and output), both ways, on a thread of its own. The bus library then connects to a
// local socket, which answers at once, and never waits on the network itself.
class CBusRelay {
public:
    using Clock = std::chrono::steady_clock;

    CBusRelay() = default;
    // Closes both sides and waits for the thread.
    ~CBusRelay();
    CBusRelay(const CBusRelay&) = delete;
    CBusRelay& operator=(const CBusRelay&) = delete;

    // Listens at socketPath and relays to stream, which it takes over; pending (bytes already
    // read from the stream) goes to the client first. Until Established(), reaching deadline or
    // cancelFd becoming readable closes both sides, so a handshake waiting on the far end ends
    // at once. False with *error when the socket could not be made.
    bool Start(const QString& socketPath, int stream, QByteArray pending,
               Clock::time_point deadline, int cancelFd, QString* error);
    // The handshake is over: from now on only either side's end or Close() ends the relay.
    void Established();
    void Close();

    bool TimedOut() const { return m_timedOut; }
    bool Cancelled() const { return m_cancelled; }

private:
    void Run();
    void Wake();

    std::thread m_thread;
    QString m_socketPath;
    int m_listen = -1;
    int m_stream = -1;
    int m_wake[2] = {-1, -1};
    int m_cancelFd = -1;
    QByteArray m_pending;
    Clock::time_point m_deadline;
    std::atomic<bool> m_established{false};
    std::atomic<bool> m_closing{false};
    std::atomic<bool> m_timedOut{false};
    std::atomic<bool> m_cancelled{false};
};

#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A TCP relay on loopback that holds every byte for a fixed time in each direction before
// passing it on, as a long network link does: half the round trip each way.
class DelayRelay {
public:
    DelayRelay(int targetPort, std::chrono::milliseconds roundTrip);
    // Closes every connection and waits for its threads.
    ~DelayRelay();
    DelayRelay(const DelayRelay&) = delete;
    DelayRelay& operator=(const DelayRelay&) = delete;

    // The port to connect to instead of the target's; 0 when the relay could not listen.
    int Port() const { return m_port; }

private:
    struct Lane;
    void Accept();
    void Relay(int client);

    int m_targetPort;
    std::chrono::microseconds m_oneWay;
    int m_listen = -1;
    int m_port = 0;
    int m_wake[2] = {-1, -1};
    std::thread m_acceptor;
    std::mutex m_mutex;
    std::vector<int> m_sockets;
    std::vector<std::shared_ptr<Lane>> m_lanes;
    std::vector<std::thread> m_threads;
};

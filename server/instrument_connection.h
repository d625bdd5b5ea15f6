#pragma once

#include "unknown.h"

#include <chrono>
#include <cstdint>
#include <functional>

// How the link to the instrument server stands, as the calls made through it found it.
enum class ConnectionState : std::int32_t {
    Connected = 0,    // the last call was answered
    NotAnswering = 1, // calls time out or fail on the way, since the first of them
    ServerGone = 2,   // the server's bus name lost its owner, or the bus itself closed
};

// What the bus proxy learned about its peer from the calls it made. Asking costs no call on the
// instrument, so a window can ask after every refresh.
inline constexpr IID IID_IInstrumentConnection{
    0x6F2C1D4B, 0x3A8E, 0x4C71, {0x9B, 0x52, 0x1E, 0x7D, 0x40, 0xA3, 0x88, 0x15}};

struct IInstrumentConnection : IUnknown {
    // The state and when it began, in milliseconds since the epoch.
    virtual HRESULT GetConnectionState(ConnectionState* pState, std::int64_t* pSinceMs) = 0;
};

// The state machine behind IInstrumentConnection: each call's outcome moves it, and a run of
// failures keeps the time of its first one.
class CConnectionTracker {
public:
    enum class Outcome { Answered, NotAnswered, OwnerLost };
    using Clock = std::function<std::int64_t()>;

    explicit CConnectionTracker(Clock clock = SystemClock);

    void Record(Outcome outcome);
    ConnectionState State() const { return m_state; }
    std::int64_t SinceMs() const { return m_sinceMs; }

    static std::int64_t SystemClock();

private:
    void Enter(ConnectionState state);

    Clock m_clock;
    ConnectionState m_state = ConnectionState::Connected;
    std::int64_t m_sinceMs;
};

#include "sim_clock.h"

CSimClock::CSimClock(Mode mode) : m_mode(mode), m_origin(std::chrono::steady_clock::now()) {}

std::int64_t CSimClock::RealElapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 m_origin)
        .count();
}

std::int64_t CSimClock::NowMs() const {
    return m_mode == Mode::Manual ? m_baseMs : m_baseMs + RealElapsedMs();
}

void CSimClock::SetMode(Mode mode) {
    if (mode == m_mode) {
        return;
    }
    m_baseMs = NowMs();
    m_origin = std::chrono::steady_clock::now();
    m_mode = mode;
}

bool CSimClock::Step(std::int64_t ms) {
    if (m_mode != Mode::Manual || ms < 0) {
        return false;
    }
    m_baseMs += ms;
    return true;
}

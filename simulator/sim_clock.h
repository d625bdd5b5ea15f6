#pragma once

#include <chrono>
#include <cstdint>

// The one clock of the simulated instrument, in milliseconds. Real time by default; a manual
// clock stands still until it is stepped, so tests can drive hours of instrument time at once.
class CSimClock {
public:
    enum class Mode { Real, Manual };

    explicit CSimClock(Mode mode = Mode::Real);

    std::int64_t NowMs() const;
    Mode GetMode() const { return m_mode; }
    // Switching keeps the time where it is, in either direction.
    void SetMode(Mode mode);
    // Only a manual clock can be stepped; a real one refuses.
    bool Step(std::int64_t ms);

private:
    std::int64_t RealElapsedMs() const;

    Mode m_mode;
    std::chrono::steady_clock::time_point m_origin;
    // Real mode: time at the origin; manual mode: the current time.
    std::int64_t m_baseMs = 0;
};

#pragma once

#include <cstdint>

// A page's buttons locked by a command until the page's timer has ticked a number of times, so
// that the instrument has moved before the next command is taken. Commands while locked do not
// restart the count.
class CTickLock {
public:
    explicit CTickLock(std::int32_t ticks) : m_lockTicks(ticks) {}

    void Lock() { m_busy = 1; }
    // One tick of the page's timer; true when the lock has just run out.
    bool Tick() {
        if (m_busy != 0) {
            ++m_ticks;
        }
        if (m_ticks != m_lockTicks) {
            return false;
        }
        m_ticks = 0;
        m_busy = 0;
        return true;
    }

private:
    std::int32_t m_lockTicks;
    std::int32_t m_busy = 0;
    std::int32_t m_ticks = 0;
};

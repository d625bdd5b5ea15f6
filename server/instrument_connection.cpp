#include "instrument_connection.h"

CConnectionTracker::CConnectionTracker(Clock clock)
    : m_clock(std::move(clock)), m_sinceMs(m_clock()) {}

std::int64_t CConnectionTracker::SystemClock() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void CConnectionTracker::Record(Outcome outcome) {
    switch (outcome) {
    case Outcome::Answered:
        Enter(ConnectionState::Connected);
        break;
    case Outcome::NotAnswered:
        // Once the owner is gone, the name stays unanswered for good: that is the news to keep.
        if (m_state != ConnectionState::ServerGone) {
            Enter(ConnectionState::NotAnswering);
        }
        break;
    case Outcome::OwnerLost:
        Enter(ConnectionState::ServerGone);
        break;
    }
}

void CConnectionTracker::Enter(ConnectionState state) {
    if (state != m_state) {
        m_state = state;
        m_sinceMs = m_clock();
    }
}

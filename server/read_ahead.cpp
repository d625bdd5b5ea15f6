#include "read_ahead.h"

#include "instrument_operations.h"

#include <algorithm>
#include <chrono>

namespace {

// More reads than the timers of every page together make: the one called longest ago goes.
constexpr std::size_t kMostReads = 16;

bool IsRead(const QDBusMessage& call) {
    const OperationInfo* info = FindOperation(call.member().toStdString());
    return info != nullptr && info->kind == OperationKind::Read;
}

} // namespace

CReadAhead::CReadAhead(Clock clock) : m_clock(std::move(clock)) {}

std::int64_t CReadAhead::SteadyClock() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::optional<QDBusPendingCall> CReadAhead::Take(const QDBusMessage& call) {
    if (!IsRead(call)) {
        Drop();
        return std::nullopt;
    }
    const std::int64_t now = m_clock();
    Read* read = Find(call);
    if (read == nullptr) {
        if (m_reads.size() == kMostReads) {
            m_reads.erase(
                std::min_element(m_reads.begin(), m_reads.end(), [](const Read& a, const Read& b) {
                    return a.lastCallMs < b.lastCallMs;
                }));
        }
        Read added;
        added.member = call.member();
        added.arguments = call.arguments();
        read = &m_reads.emplace_back(std::move(added));
    }
    // Two timers may share a read at different periods: the longer interval is the period.
    const std::int64_t periodMs = std::max(read->intervalMs, read->previousIntervalMs);
    std::optional<QDBusPendingCall> ahead = std::exchange(read->ahead, std::nullopt);
    if (ahead && now - read->askedMs > periodMs + periodMs / 2) {
        ahead.reset();
    }
    if (read->lastCallMs) {
        read->previousIntervalMs = read->intervalMs;
        read->intervalMs = now - *read->lastCallMs;
    }
    read->lastCallMs = now;
    return ahead;
}

bool CReadAhead::Repeats(const QDBusMessage& call, const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return false;
    }
    const Read* read = Find(call);
    return read != nullptr && read->intervalMs > 0 && read->intervalMs <= kLongestPeriodMs;
}

void CReadAhead::Keep(const QDBusMessage& call, const QDBusPendingCall& pending) {
    Read* read = Find(call);
    if (read != nullptr) {
        read->ahead = pending;
        read->askedMs = m_clock();
    }
}

void CReadAhead::Drop() {
    for (Read& read : m_reads) {
        read.ahead.reset();
    }
}

CReadAhead::Read* CReadAhead::Find(const QDBusMessage& call) {
    const auto found = std::find_if(m_reads.begin(), m_reads.end(), [&](const Read& read) {
        return read.member == call.member() && read.arguments == call.arguments();
    });
    return found != m_reads.end() ? &*found : nullptr;
}

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
    Read& read = Find(call);
    Sort(read, now);
    std::optional<QDBusPendingCall> answer;
    if (read.came) {
        answer = read.came->pending;
        // A failure is told once, as a call of its own would be.
        if (answer->isError()) {
            read.came.reset();
        }
    } else if (!read.onTheirWay.empty()) {
        answer = read.onTheirWay.front().pending;
    }
    if (read.lastCallMs) {
        std::shift_right(read.intervalsMs.begin(), read.intervalsMs.end(), 1);
        read.intervalsMs.front() = now - *read.lastCallMs;
    }
    read.lastCallMs = now;
    return answer;
}

bool CReadAhead::Repeats(const QDBusMessage& call, const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || !IsRead(call)) {
        return false;
    }
    const std::int64_t intervalMs = Find(call).intervalsMs.front();
    return intervalMs > 0 && intervalMs <= kLongestPeriodMs;
}

void CReadAhead::Keep(const QDBusMessage& call, const QDBusPendingCall& pending) {
    Find(call).onTheirWay.push_back({pending, m_clock()});
}

void CReadAhead::Drop() {
    for (Read& read : m_reads) {
        read.came.reset();
        read.onTheirWay.clear();
    }
}

CReadAhead::Read& CReadAhead::Find(const QDBusMessage& call) {
    const auto found = std::find_if(m_reads.begin(), m_reads.end(), [&](const Read& read) {
        return read.member == call.member() && read.arguments == call.arguments();
    });
    if (found != m_reads.end()) {
        return *found;
    }
    if (m_reads.size() == kMostReads) {
        m_reads.erase(
            std::min_element(m_reads.begin(), m_reads.end(), [](const Read& a, const Read& b) {
                return a.lastCallMs < b.lastCallMs;
            }));
    }
    Read added;
    added.member = call.member();
    added.arguments = call.arguments();
    return m_reads.emplace_back(std::move(added));
}

std::int64_t CReadAhead::Read::PeriodMs() const {
    std::int64_t periodMs = 0;
    for (const std::int64_t intervalMs : intervalsMs) {
        if (intervalMs <= kLongestPeriodMs) {
            periodMs = std::max(periodMs, intervalMs);
        }
    }
    return periodMs;
}

void CReadAhead::Sort(Read& read, std::int64_t now) {
    // Replies on one connection come in the order they were asked.
    while (!read.onTheirWay.empty() && read.onTheirWay.front().pending.isFinished()) {
        read.came = read.onTheirWay.front();
        read.onTheirWay.pop_front();
    }
    const std::int64_t periodMs = read.PeriodMs();
    const auto stale = [&](const Asked& asked) {
        return now - asked.atMs > periodMs + periodMs / 2;
    };
    if (read.came && stale(*read.came)) {
        read.came.reset();
    }
    while (!read.onTheirWay.empty() && stale(read.onTheirWay.front())) {
        read.onTheirWay.pop_front();
    }
}

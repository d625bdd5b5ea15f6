#pragma once

#include <QDBusMessage>
#include <QDBusPendingCall>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Keeps the replies to reads that a timer repeats, asked for again as soon as the last one was
// answered, so that over a long link the next tick finds its reply waiting instead of waiting
// one round trip for it. The instrument still sees one call per tick. A read is repeated when
// the same operation with the same in-arguments comes again within kLongestPeriodMs; its reply
// read ahead is used only while it is at most half a period older than the period the timer
// keeps, so a timer that stopped and started again reads anew. Any call that is not a Read
// drops every reply read ahead: a reading never predates a command.
class CReadAhead {
public:
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<std::int64_t()>;

    // Longer than the slowest refresh timer.
    static constexpr std::int64_t kLongestPeriodMs = 3000;

    explicit CReadAhead(Clock clock = SteadyClock);

    // The call is about to be made: the reply read ahead for it, when there is a fresh one.
    std::optional<QDBusPendingCall> Take(const QDBusMessage& call);
    // The call was answered with reply: whether to ask for its next reply now.
    bool Repeats(const QDBusMessage& call, const QDBusMessage& reply);
    // The next reply to call, asked for just now.
    void Keep(const QDBusMessage& call, const QDBusPendingCall& pending);
    // Every reply read ahead is forgotten; those still on their way are ignored when they come.
    void Drop();

    static std::int64_t SteadyClock();

private:
    struct Read {
        QString member;
        QVariantList arguments;
        std::optional<std::int64_t> lastCallMs;
        // The last two intervals between calls; 0 until there are two and three calls.
        std::int64_t intervalMs = 0;
        std::int64_t previousIntervalMs = 0;
        std::optional<QDBusPendingCall> ahead;
        std::int64_t askedMs = 0;
    };
    Read* Find(const QDBusMessage& call);

    Clock m_clock;
    // A handful: the reads of the timers that run at a time.
    std::vector<Read> m_reads;
};

#pragma once

#include <QDBusMessage>
#include <QDBusPendingCall>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

// Keeps the replies to reads that a timer repeats, asked for again as soon as the last one was
// answered, so that over a long link the next tick finds its reply waiting instead of waiting
// one round trip for it. The instrument still sees one call for each call made. A read is
// repeated when the same operation with the same in-arguments comes again within
// kLongestPeriodMs. A call is answered by the newest reply that came, or else by the first one
// still on its way, if it was asked at most one and a half periods ago; so a timer that stopped
// and started again reads anew, and two timers that read the same at the same moment share the
// reply that came. Any call that is not a Read drops every reply read ahead: a reading never
// predates a command.
class CReadAhead {
public:
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<std::int64_t()>;

    // Longer than the slowest refresh timer.
    static constexpr std::int64_t kLongestPeriodMs = 3000;

    explicit CReadAhead(Clock clock = SteadyClock);

    // The call is about to be made: a fresh reply read ahead for it, come or on its way.
    std::optional<QDBusPendingCall> Take(const QDBusMessage& call);
    // The call was answered with reply: whether to ask for its next reply now.
    bool Repeats(const QDBusMessage& call, const QDBusMessage& reply);
    // The next reply to call, asked for just now.
    void Keep(const QDBusMessage& call, const QDBusPendingCall& pending);
    // Every reply read ahead is forgotten; those still on their way are ignored when they come.
    void Drop();

    static std::int64_t SteadyClock();

private:
    // Enough for every interval in a cycle of the timers that share a read.
    static constexpr std::size_t kIntervalsKept = 4;

    struct Asked {
        QDBusPendingCall pending;
        std::int64_t atMs;
    };
    struct Read {
        QString member;
        QVariantList arguments;
        std::optional<std::int64_t> lastCallMs;
        // The intervals between the last calls, newest first; 0 where there was none yet.
        std::array<std::int64_t, kIntervalsKept> intervalsMs{};
        // The newest reply that came, and those on their way, oldest first.
        std::optional<Asked> came;
        std::deque<Asked> onTheirWay;

        // The longest interval that a timer could have made: a page's timer and the status
        // view's may share a read, and their calls come at uneven intervals.
        std::int64_t PeriodMs() const;
    };
    Read& Find(const QDBusMessage& call);
    // Moves the replies that came since the last call to came, and forgets stale ones.
    static void Sort(Read& read, std::int64_t now);

    Clock m_clock;
    // A handful: the reads of the timers that run at a time.
    std::vector<Read> m_reads;
};

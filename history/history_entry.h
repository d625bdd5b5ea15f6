#pragma once

#include <QMetaType>
#include <QString>

#include <cstdint>
#include <limits>

// What an entry of the service history tells of: something the client had the instrument do,
// a change of the instrument's state, an error it raised, a change of the link to the
// instrument server, or a change of what the server keeps for this client.
enum class HistoryKind : std::int32_t {
    Action = 0,
    State = 1,
    Error = 2,
    Connection = 3,
    Session = 4
};
constexpr int kHistoryKindCount = 5;

constexpr std::uint32_t HistoryKindBit(HistoryKind kind) {
    return 1U << static_cast<std::uint32_t>(kind);
}
constexpr std::uint32_t kAllHistoryKinds = (1U << kHistoryKindCount) - 1U;

// "Action", "State", "Error", "Connection" or "Session".
QString HistoryKindText(HistoryKind kind);

// A time as the history's own entries and its verification name it: ISO 8601 in UTC, to the
// millisecond.
QString HistoryTimeText(std::int64_t ms);

struct HistoryEntry {
    std::int64_t id = 0;     // the store's, once committed: larger is newer
    std::int64_t timeMs = 0; // UTC, milliseconds since the epoch
    HistoryKind kind = HistoryKind::Action;
    QString user;
    QString host;
    QString serial; // the instrument's serial number, empty while none was read
    QString text;
};
Q_DECLARE_METATYPE(HistoryEntry)

// Which entries to read, newest first. Empty texts and the default bounds select everything.
struct HistoryQuery {
    std::uint32_t kinds = kAllHistoryKinds;
    QString serial;
    // Entries whose text contains this, ignoring the case of ASCII letters.
    QString search;
    std::int64_t sinceMs = std::numeric_limits<std::int64_t>::min();
    // Only entries older than this id (a page after the one that ended there); 0 for none.
    std::int64_t beforeId = 0;
    int limit = 500;
};

// How much history is kept: entries older than the age go, and the oldest go once the entries
// take more than the size.
struct HistoryRetention {
    int maxAgeDays = 3650;
    std::int64_t maxBytes = std::int64_t{256} * 1024 * 1024;
};

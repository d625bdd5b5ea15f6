#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

// One line of the report's service history table.
struct ServiceHistoryEntry {
    QDateTime utc;
    QString kind;
    QString user;
    QString host;
    QString serial;
    QString text;
};

// Entries in a row that differ only in their time, shown once with their count: the first's
// time, the text "… (repeated N times)".
std::vector<ServiceHistoryEntry> CondensedHistory(const std::vector<ServiceHistoryEntry>& entries);

// What a paper copy of the report keeps of a stored history, so that a later edit of an entry
// before the checkpoint shows: the key that signs its checkpoints and the last one, in words.
// Empty when the history has none.
struct ServiceHistoryAnchor {
    QString publicKey;
    QString lastCheckpoint;
};

// Where the report takes its service history from: the entries at or after a time, oldest
// first.
class IServiceHistorySource {
public:
    virtual ~IServiceHistorySource() = default;
    virtual std::vector<ServiceHistoryEntry> EntriesSince(const QDateTime& utc) const = 0;
    virtual ServiceHistoryAnchor Anchor() const { return {}; }
    // Whether a thread other than the window's may read it while the window goes on.
    virtual bool ReadsOnAnyThread() const { return false; }
};

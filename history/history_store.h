#pragma once

#include "history_entry.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One connection to the service history database (SQLite, write-ahead log). Every entry is
// appended in a transaction of its own and is on disk when Append returns, so a killed client
// or a power cut loses nothing that was committed. Several connections, in this process or
// another, may write to one file: a writer waits for another's transaction to end.
// A connection belongs to the thread that opened it.
class CHistoryStore {
public:
    // Read opens an existing history only and never writes to it.
    enum class Mode { Write, Read };

    CHistoryStore();
    ~CHistoryStore();
    CHistoryStore(const CHistoryStore&) = delete;
    CHistoryStore& operator=(const CHistoryStore&) = delete;

    // Creates the file and its folder when writing and they are missing. A file that is not a
    // history, is damaged, or cannot be read or written (as the mode asks) is refused with the
    // reason in ErrorText(); the file is left as it is.
    bool Open(const QString& path, Mode mode);
    bool IsOpen() const { return m_open; }
    QString ErrorText() const { return m_error; }

    // Sets the entry's id on success.
    bool Append(HistoryEntry& entry);

    std::vector<HistoryEntry> Entries(const HistoryQuery& query) const;
    // Every entry at or after the time, newest first: what a visit's report reads.
    std::vector<HistoryEntry> EntriesSince(std::int64_t sinceMs) const;
    // The serial numbers of the instruments the history holds entries of.
    QStringList Instruments() const;
    std::int64_t Count() const;
    // The bytes the entries take in the file (free pages, which are reused, not counted).
    std::int64_t UsedBytes() const;

    // Removes what the retention no longer keeps. Answers how many entries went, or nothing
    // when removing failed.
    std::optional<std::int64_t> Prune(const HistoryRetention& retention, std::int64_t nowMs);

private:
    bool Fail(const QString& reason);
    bool Exec(const QString& statement);
    bool CreateSchema();

    QString m_connection;
    QString m_error;
    bool m_open = false;
};

#pragma once

#include "history_chain.h"
#include "history_entry.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// One connection to the service history database (SQLite, write-ahead log). Every entry is
// appended in a transaction of its own and is on disk when Append returns, so a killed client
// or a power cut loses nothing that was committed. Several connections, in this process or
// another, may write to one file: a writer waits a little for another's transaction to end and
// otherwise reports the file busy. Each entry carries a hash that chains it to the one before,
// and signed checkpoints pin the chain's head. The folder is readable by its owner only, and so
// are the files. A connection belongs to the thread that opened it.
class CHistoryStore {
public:
    // Read opens an existing history only and never writes to it.
    enum class Mode { Write, Read };

    CHistoryStore();
    ~CHistoryStore();
    CHistoryStore(const CHistoryStore&) = delete;
    CHistoryStore& operator=(const CHistoryStore&) = delete;

    // Creates the file and its folder when writing and they are missing; a history written
    // before entries were chained gets its chain then. A file that is not a history, is damaged,
    // or cannot be read or written (as the mode asks) is refused with the reason in
    // ErrorText(); the file is left as it is. When writing, entries removed by the retention
    // move to the archive, unless archivePath is empty.
    bool Open(const QString& path, Mode mode, const QString& archivePath = QString());
    bool IsOpen() const { return m_open; }
    QString ErrorText() const { return m_error; }

    // Sets the entry's id on success.
    bool Append(HistoryEntry& entry);
    // While another connection holds the file, a write waits for it until it has waited
    // kBusyWait or until this says to give up, checked every few milliseconds.
    void SetBusyGiveUp(std::function<bool()> giveUp) { m_giveUp = std::move(giveUp); }
    static constexpr std::chrono::milliseconds kBusyWait{5000};

    std::vector<HistoryEntry> Entries(const HistoryQuery& query) const;
    // Every entry at or after the time, newest first: what a visit's report reads.
    std::vector<HistoryEntry> EntriesSince(std::int64_t sinceMs) const;
    // The serial numbers of the instruments the history holds entries of.
    QStringList Instruments() const;
    std::int64_t Count() const;
    // The bytes the entries take in the file (free pages, which are reused, not counted).
    std::int64_t UsedBytes() const;

    // Signs the chain's head as it stands now.
    bool AddCheckpoint(const CHistoryKey& key, std::int64_t nowMs);
    std::optional<HistoryCheckpoint> LastCheckpoint() const;

    // What a removal by the retention adds to the history, given how many entries went and the
    // time of the oldest that stays.
    using RemovalNote = std::function<HistoryEntry(std::int64_t removed, std::int64_t keptFromMs)>;
    // Removes the oldest entries the retention no longer keeps, and records the removal with
    // them in one transaction. Answers how many entries went, or nothing when removing failed.
    std::optional<std::int64_t> Prune(const HistoryRetention& retention, std::int64_t nowMs,
                                      const RemovalNote& note);

private:
    void Close();
    static int WaitWhileBusy(void* store, int tries);
    bool Fail(const QString& reason);
    bool Exec(const QString& statement);
    bool CreateSchema();
    bool CreateTables(const QString& schema);
    bool ChainUnchainedEntries();
    bool AttachArchive(const QString& archivePath);
    bool AppendInTransaction(HistoryEntry& entry);
    bool Rollback();
    // The last link of the chain: the newest entry's, or the one before the oldest kept.
    std::optional<std::pair<std::int64_t, QByteArray>> ChainedHead();
    bool MoveToArchive(std::int64_t lastId, std::int64_t lastSeq);

    QString m_connection;
    QString m_error;
    bool m_open = false;
    QString m_archivePath;
    std::function<bool()> m_giveUp;
    std::chrono::steady_clock::time_point m_busySince;
};

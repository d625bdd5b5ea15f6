#pragma once

#include "history_entry.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

struct HistoryWriterOptions {
    HistoryRetention retention;
    // Entries the retention removes go to the archive beside the history; else they are gone.
    bool archive = true;
    // Entries waiting for a file that cannot take them; beyond this they are counted, not kept.
    std::size_t queueLimit = 10000;
    std::chrono::milliseconds retryPeriod{1000};
    std::chrono::milliseconds checkpointPeriod{std::chrono::minutes(5)};
    // What the exit waits for the queue, a write waiting for a busy file included.
    std::chrono::milliseconds exitWait{1500};
};

// Appends entries to the history file from a thread of its own, so that waiting for the disk
// (every entry is flushed to it) or for another client's transaction never stalls the window.
// Entries are committed in the order they were handed over. A file that cannot be opened or
// written is tried again now and then and at every new entry, the entries waiting meanwhile;
// those the queue cannot hold, and those still waiting at the exit, are recorded as one gap
// entry once writing works again (the exit's through a side file read at the next start).
// The chain's head is signed at the start, every few minutes and at the exit.
// Its signals come from that thread; receivers in the GUI thread get them queued.
class CHistoryWriter : public QObject {
    Q_OBJECT
public:
    CHistoryWriter(QString path, HistoryWriterOptions options, QObject* parent = nullptr);
    // Commits what it can within the exit's wait, then closes the file.
    ~CHistoryWriter() override;

    void Append(HistoryEntry entry);
    // Returns once every entry handed over so far is committed, or waits for a file that
    // refused it.
    void Flush();

    QString Path() const { return m_path; }
    // Whether the file is open, and the last reason an entry was not kept (empty while they
    // are): what the signals said, for a window that comes later.
    bool IsOpened() const;
    QString Failure() const;
    // The key that signs the checkpoints; empty until the file opened.
    QByteArray PublicKey() const;

    // Retention runs at the start and again after this many entries.
    static constexpr int kPruneEvery = 1000;

signals:
    // The file is open and takes entries.
    void opened();
    void committed(const HistoryEntry& entry);
    // The history is not being kept, and why. Comes once per reason, not once per entry.
    void failed(const QString& reason);
    // Entries are kept again after a failure.
    void resumed();

private:
    // An entry, or the count of those dropped in a row.
    struct Item {
        HistoryEntry entry;
        std::int64_t dropped = 0;
        std::int64_t lastMs = 0;
        QString reason;
    };
    class Session;

    void Run();
    std::chrono::steady_clock::time_point WakeTime(const Session& session) const;

    const QString m_path;
    const HistoryWriterOptions m_options;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_drained;
    std::deque<Item> m_queue;
    bool m_busy = false;
    bool m_opened = false;
    // The last try failed and no new entry asked for another yet.
    bool m_waiting = false;
    QString m_failure;
    QByteArray m_publicKey;
    bool m_stopping = false;
    std::chrono::steady_clock::time_point m_stopDeadline;
    // When a write waiting for another client's lock gives up: the exit's deadline.
    std::atomic<std::chrono::steady_clock::rep> m_giveUpAt{
        std::chrono::steady_clock::time_point::max().time_since_epoch().count()};
    std::thread m_thread;
};

// Beside the history: the archive of what the retention removed, and the side file with what
// an exit could not write.
QString HistoryArchivePath(const QString& historyPath);
QString HistoryUnsavedPath(const QString& historyPath);

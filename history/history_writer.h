#pragma once

#include "history_entry.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

// Appends entries to the history file from a thread of its own, so that waiting for the disk
// (every entry is flushed to it) or for another client's transaction never stalls the window.
// Entries are committed in the order they were handed over. Its signals come from that thread;
// receivers in the GUI thread get them queued.
class CHistoryWriter : public QObject {
    Q_OBJECT
public:
    CHistoryWriter(QString path, HistoryRetention retention, QObject* parent = nullptr);
    // Commits what is still waiting, then closes the file.
    ~CHistoryWriter() override;

    void Append(HistoryEntry entry);
    // Returns once every entry handed over so far is committed or refused.
    void Flush();

    QString Path() const { return m_path; }
    // Whether the file is open, and the last reason an entry was not kept (empty while they
    // are): what the signals said, for a window that comes later.
    bool IsOpened() const;
    QString Failure() const;

    // Retention runs at the start and again after this many entries.
    static constexpr int kPruneEvery = 1000;

signals:
    // The file is open and takes entries.
    void opened();
    void committed(const HistoryEntry& entry);
    // The history is not being kept, and why. Comes once per reason, not once per entry.
    void failed(const QString& reason);

private:
    void Run();

    const QString m_path;
    const HistoryRetention m_retention;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_drained;
    std::deque<HistoryEntry> m_queue;
    bool m_busy = false;
    bool m_opened = false;
    QString m_failure;
    bool m_stopping = false;
    std::thread m_thread;
};

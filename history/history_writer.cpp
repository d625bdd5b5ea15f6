#include "history_writer.h"

#include "history_store.h"

#include <QDateTime>

CHistoryWriter::CHistoryWriter(QString path, HistoryRetention retention, QObject* parent)
    : QObject(parent), m_path(std::move(path)), m_retention(retention) {
    qRegisterMetaType<HistoryEntry>();
    m_thread = std::thread([this] { Run(); });
}

CHistoryWriter::~CHistoryWriter() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void CHistoryWriter::Append(HistoryEntry entry) {
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(entry));
    }
    m_wake.notify_one();
}

void CHistoryWriter::Flush() {
    std::unique_lock lock(m_mutex);
    m_drained.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

bool CHistoryWriter::IsOpened() const {
    const std::lock_guard lock(m_mutex);
    return m_opened;
}

QString CHistoryWriter::Failure() const {
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

void CHistoryWriter::Run() {
    CHistoryStore store;
    QString lastFailure;
    const auto report = [this, &lastFailure](const QString& reason) {
        if (reason != lastFailure) {
            lastFailure = reason;
            {
                const std::lock_guard lock(m_mutex);
                m_failure = reason;
            }
            emit failed(reason);
        }
    };
    {
        const std::lock_guard lock(m_mutex);
        m_busy = true;
    }
    if (store.Open(m_path, CHistoryStore::Mode::Write)) {
        {
            const std::lock_guard lock(m_mutex);
            m_opened = true;
        }
        emit opened();
        if (!store.Prune(m_retention, QDateTime::currentMSecsSinceEpoch())) {
            report(store.ErrorText());
        }
    } else {
        report(store.ErrorText());
    }
    int sincePrune = 0;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_busy = false;
        m_drained.notify_all();
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty()) {
            return;
        }
        HistoryEntry entry = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        // A file that could not be opened keeps no entry; each is dropped as it comes.
        if (store.IsOpen()) {
            if (store.Append(entry)) {
                if (!lastFailure.isEmpty()) {
                    lastFailure.clear();
                    const std::lock_guard relock(m_mutex);
                    m_failure.clear();
                }
                emit committed(entry);
            } else {
                report(store.ErrorText());
            }
            if (++sincePrune >= kPruneEvery) {
                sincePrune = 0;
                if (!store.Prune(m_retention, entry.timeMs)) {
                    report(store.ErrorText());
                }
            }
        }
        lock.lock();
    }
}

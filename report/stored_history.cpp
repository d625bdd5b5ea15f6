#include "stored_history.h"

#include "history_store.h"
#include "history_writer.h"

#include <QTimeZone>

CStoredHistory::CStoredHistory(CHistoryWriter* writer) : m_writer(writer) {}

std::vector<ServiceHistoryEntry> CStoredHistory::EntriesSince(const QDateTime& utc) const {
    m_writer->Flush();
    CHistoryStore store;
    std::vector<ServiceHistoryEntry> entries;
    if (!store.Open(m_writer->Path(), CHistoryStore::Mode::Read)) {
        return entries;
    }
    const std::vector<HistoryEntry> stored = store.EntriesSince(utc.toMSecsSinceEpoch());
    entries.reserve(stored.size());
    // The store answers newest first; the report's table reads oldest first.
    for (auto it = stored.rbegin(); it != stored.rend(); ++it) {
        entries.push_back({QDateTime::fromMSecsSinceEpoch(it->timeMs, QTimeZone::utc()),
                           HistoryKindText(it->kind), it->user, it->host, it->serial, it->text});
    }
    return entries;
}

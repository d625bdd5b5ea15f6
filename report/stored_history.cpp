#include "stored_history.h"

#include "history_store.h"
#include "history_writer.h"
#include "ids_report.h"
#include "string_table.h"

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

ServiceHistoryAnchor CStoredHistory::Anchor() const {
    m_writer->Flush();
    ServiceHistoryAnchor anchor;
    const QByteArray key = m_writer->PublicKey();
    if (key.isEmpty()) {
        return anchor;
    }
    anchor.publicKey = QString::fromLatin1(key.toHex());
    CHistoryStore store;
    const auto checkpoint = store.Open(m_writer->Path(), CHistoryStore::Mode::Read)
                                ? store.LastCheckpoint()
                                : std::nullopt;
    anchor.lastCheckpoint = checkpoint ? LoadString(IDS_REPORT_HISTORY_CHECKPOINT)
                                             .arg(HistoryTimeText(checkpoint->timeMs))
                                             .arg(checkpoint->seq)
                                             .arg(QString::fromLatin1(checkpoint->head.toHex()))
                                       : LoadString(IDS_REPORT_HISTORY_NO_CHECKPOINT);
    return anchor;
}

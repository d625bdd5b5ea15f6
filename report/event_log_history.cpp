#include "event_log_history.h"

#include "event_log.h"
#include "resource.h"
#include "string_table.h"

#include <QSysInfo>

CEventLogHistory::CEventLogHistory(const CEventLog& log)
    : m_log(log), m_user(qEnvironmentVariable("USER")), m_host(QSysInfo::machineHostName()) {}

std::vector<ServiceHistoryEntry> CEventLogHistory::EntriesSince(const QDateTime& utc) const {
    std::vector<ServiceHistoryEntry> entries;
    const QString kind = LoadString(IDS_EVENT_LOG);
    const CRingBuffer<EventLogEntry>& logged = m_log.Entries();
    for (std::size_t i = 0; i < logged.Size(); ++i) {
        if (logged[i].when >= utc) {
            entries.push_back(
                {logged[i].when.toUTC(), kind, m_user, m_host, QString(), logged[i].text});
        }
    }
    return entries;
}

#pragma once

#include "service_history.h"

class CEventLog;

// The service history of this session as the Event Log holds it: each entry was made here, by
// the user running the client, on this computer.
class CEventLogHistory final : public IServiceHistorySource {
public:
    explicit CEventLogHistory(const CEventLog& log);

    std::vector<ServiceHistoryEntry> EntriesSince(const QDateTime& utc) const override;

private:
    const CEventLog& m_log;
    QString m_user;
    QString m_host;
};

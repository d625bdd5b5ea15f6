#pragma once

#include "service_history.h"

class CHistoryWriter;

// The service history as the history file keeps it: what this client and any other on the
// computer recorded. What the writer still holds is committed before the file is read, so the
// last action before the report is in it.
class CStoredHistory final : public IServiceHistorySource {
public:
    explicit CStoredHistory(CHistoryWriter* writer);

    std::vector<ServiceHistoryEntry> EntriesSince(const QDateTime& utc) const override;
    ServiceHistoryAnchor Anchor() const override;
    // Each read opens the file on its own.
    bool ReadsOnAnyThread() const override { return true; }

private:
    CHistoryWriter* m_writer;
};

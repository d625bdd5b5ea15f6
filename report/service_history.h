#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

// One line of the report's service history table.
struct ServiceHistoryEntry {
    QDateTime utc;
    QString kind;
    QString user;
    QString host;
    QString serial;
    QString text;
};

// Where the report takes its service history from: the entries at or after a time, oldest
// first.
class IServiceHistorySource {
public:
    virtual ~IServiceHistorySource() = default;
    virtual std::vector<ServiceHistoryEntry> EntriesSince(const QDateTime& utc) const = 0;
};

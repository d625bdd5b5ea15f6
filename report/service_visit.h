#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

class QSettings;

struct ReplacedPart {
    QString partNumber;
    QString oldSerial;
    QString newSerial;
};

// Who came, where, for which work order, what they found and did, which parts they replaced and
// when the instrument is due next.
struct ServiceVisit {
    QString engineer;
    QString customer;
    QString site;
    QString workOrder;
    QString asFound;
    QString workDone;
    std::vector<ReplacedPart> parts;
    // Null when not given.
    QDate nextServiceDue;

    bool IsEmpty() const;
};

// "PART-NUMBER,OLD-SERIAL,NEW-SERIAL", each field trimmed; nothing unless there are three and a
// part number.
std::optional<ReplacedPart> ParseReplacedPart(const QString& text);

QString VisitDateText(const QDate& date);

// The visit as one service history entry.
QString VisitHistoryText(const ServiceVisit& visit);

// The profile keeps who serviced the instrument where, for the next visit; what was found and
// done belongs to one visit only.
ServiceVisit RememberedVisit(const QSettings& profile);
void RememberVisit(QSettings& profile, const ServiceVisit& visit);

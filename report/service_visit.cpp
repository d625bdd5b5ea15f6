#include "service_visit.h"

#include "ids_report.h"
#include "string_table.h"

#include <QSettings>

namespace {

constexpr char kEngineerKey[] = "ServiceVisit/Engineer";
constexpr char kCustomerKey[] = "ServiceVisit/Customer";
constexpr char kSiteKey[] = "ServiceVisit/Site";
constexpr int kPartFields = 3;

QString OrNone(const QString& text) {
    return text.isEmpty() ? LoadString(IDS_REPORT_NO_VALUE) : text;
}

} // namespace

bool ServiceVisit::IsEmpty() const {
    return engineer.isEmpty() && customer.isEmpty() && site.isEmpty() && workOrder.isEmpty() &&
           asFound.isEmpty() && workDone.isEmpty() && parts.empty() && nextServiceDue.isNull();
}

std::optional<ReplacedPart> ParseReplacedPart(const QString& text) {
    const QStringList fields = text.split(u',');
    if (fields.size() != kPartFields || fields[0].trimmed().isEmpty()) {
        return std::nullopt;
    }
    return ReplacedPart{fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed()};
}

QString VisitDateText(const QDate& date) {
    return date.isValid() ? date.toString(LoadString(IDS_REPORT_DATE_FORMAT))
                          : LoadString(IDS_REPORT_NO_VALUE);
}

QString VisitHistoryText(const ServiceVisit& visit) {
    QStringList parts;
    for (const ReplacedPart& part : visit.parts) {
        parts << LoadString(IDS_REPORT_PART_WORDS)
                     .arg(part.partNumber, OrNone(part.oldSerial), OrNone(part.newSerial));
    }
    return LoadString(IDS_REPORT_VISIT_ENTRY)
        .arg(OrNone(visit.engineer), OrNone(visit.customer), OrNone(visit.site),
             OrNone(visit.workOrder), OrNone(visit.asFound), OrNone(visit.workDone),
             parts.isEmpty() ? LoadString(IDS_REPORT_NO_PARTS) : parts.join(QStringLiteral("; ")),
             VisitDateText(visit.nextServiceDue));
}

ServiceVisit RememberedVisit(const QSettings& profile) {
    ServiceVisit visit;
    visit.engineer = profile.value(QLatin1String(kEngineerKey)).toString();
    visit.customer = profile.value(QLatin1String(kCustomerKey)).toString();
    visit.site = profile.value(QLatin1String(kSiteKey)).toString();
    return visit;
}

void RememberVisit(QSettings& profile, const ServiceVisit& visit) {
    profile.setValue(QLatin1String(kEngineerKey), visit.engineer);
    profile.setValue(QLatin1String(kCustomerKey), visit.customer);
    profile.setValue(QLatin1String(kSiteKey), visit.site);
}

#include "report_file.h"

#include "report_document.h"
#include "resource.h"
#include "string_table.h"

#include <QDir>

ReportResult WriteReportFile(const ServiceReport& report, const QString& path,
                             ReportProgress* progress) {
    const QString shownPath = QDir::toNativeSeparators(path);
    QString error;
    if (!WriteServiceReport(report, path, &error, progress)) {
        if (error.isEmpty()) {
            return {ReportOutcome::Cancelled, QString()};
        }
        return {ReportOutcome::NotWritten,
                LoadString(IDS_REPORT_WRITE_FAILED).arg(shownPath, error)};
    }
    if (!report.InstrumentAnswered()) {
        return {ReportOutcome::WrittenIncomplete,
                LoadString(IDS_REPORT_WRITTEN_NOT_ANSWERED).arg(shownPath)};
    }
    return {ReportOutcome::Written, LoadString(IDS_REPORT_WRITTEN).arg(shownPath)};
}

ReportResult MakeServiceReport(const QString& path, const ServiceReportSources& sources,
                               const QDateTime& nowUtc) {
    return WriteReportFile(ReadServiceReport(sources, nowUtc), path);
}

#pragma once

#include "service_report.h"

#include <QDateTime>
#include <QString>

struct ReportProgress;

enum class ReportOutcome {
    Written,
    // Written, but it says that the instrument did not answer every request.
    WrittenIncomplete,
    NotWritten,
    // The engineer cancelled it; nothing was written.
    Cancelled,
};

struct ReportResult {
    ReportOutcome outcome;
    // What to tell the user: where the report went, or why it did not.
    QString message;
};

// Writes a report that was read to path, and says how that went.
ReportResult WriteReportFile(const ServiceReport& report, const QString& path,
                             ReportProgress* progress = nullptr);

// Reads the instrument now and writes the report to path.
ReportResult MakeServiceReport(const QString& path, const ServiceReportSources& sources,
                               const QDateTime& nowUtc);

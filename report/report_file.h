#pragma once

#include "service_report.h"

#include <QDateTime>
#include <QString>

enum class ReportOutcome {
    Written,
    // Written, but it says that the instrument did not answer every request.
    WrittenIncomplete,
    NotWritten,
};

struct ReportResult {
    ReportOutcome outcome;
    // What to tell the user: where the report went, or why it did not.
    QString message;
};

// Reads the instrument now and writes the report to path.
ReportResult MakeServiceReport(const QString& path, const ServiceReportSources& sources,
                               const QDateTime& nowUtc);

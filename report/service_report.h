#pragma once

#include "pressure_trace.h"
#include "service_history.h"
#include "service_visit.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <vector>

struct ReportRow {
    QString caption;
    QString value;
};

// A titled list of captions and values; answered is false when a request of the section found
// no answer, whose values then read "-".
struct ReportSection {
    QString title;
    std::vector<ReportRow> rows;
    bool answered = true;
};

struct ReportTable {
    QStringList headings;
    std::vector<QStringList> rows;
};

// Everything a service report shows, as text and samples, read at one time.
struct ServiceReport {
    static constexpr std::chrono::minutes kTraceWindow{10};

    QDateTime writtenUtc;
    ServiceVisit visit;
    ReportSection instrument;
    ReportSection configuration;
    ReportSection usage;
    ReportTable syringeUsage;
    ReportSection status;
    // The readings from kTraceWindow before the report until the report, oldest first.
    std::vector<TraceSample> trace;
    QDateTime historySinceUtc;
    std::vector<ServiceHistoryEntry> history;
    ServiceHistoryAnchor historyAnchor;

    bool InstrumentAnswered() const;
};

// What the report takes besides the instrument's answers.
struct ServiceReportSources {
    using TraceSource = std::function<std::vector<TraceSample>()>;
    // The pressure trace's readings; none when empty.
    TraceSource trace;
    // None when null.
    const IServiceHistorySource* history = nullptr;
    QDateTime historySinceUtc;
    ServiceVisit visit;
};

// Reads every figure from the instrument now, through g_pServer, each block released as its
// record requires: the versions, the configuration, the usage counters, the status and its
// first pending error. A request without an answer leaves "-" in its values. Takes the trace
// and the visit from sources, not the history.
ServiceReport ReadInstrumentReport(const ServiceReportSources& sources, const QDateTime& nowUtc);
// The history's entries since the report's start of history, and its anchor.
void AddServiceHistory(ServiceReport& report, const IServiceHistorySource* history);
// Both.
ServiceReport ReadServiceReport(const ServiceReportSources& sources, const QDateTime& nowUtc);

// "Orvix Diagnostics" and this program's version.
QString WrittenByText();

// A time as the report shows it, in UTC.
QString ReportTimeText(const QDateTime& time);

// The readings of the trace window that ends at nowUtc, oldest first.
std::vector<TraceSample> TraceWindow(const std::vector<TraceSample>& samples,
                                     const QDateTime& nowUtc);

#include "report_mode.h"

#include "history_recorder.h"
#include "history_writer.h"
#include "ids_report.h"
#include "report_file.h"
#include "stored_history.h"
#include "string_table.h"
#include "trace_file.h"
#include "ui.h"

#include <QDateTime>

#include <cstdio>
#include <memory>

void ShowMessagesOnStandardError() {
    SetMessageBoxHandler([](const MessageBoxRequest& request) {
        std::fprintf(stderr, "%s\n", request.text.toUtf8().constData());
        return IDOK;
    });
}

int WriteServiceReport(const CCommandLineInfo& info, CHistoryRecorder* history) {
    if (info.badReportSince || info.badVisitOption) {
        AppMessageBox(info.badReportSince
                          ? LoadString(IDS_REPORT_BAD_SINCE).arg(*info.badReportSince)
                          : *info.badVisitOption);
        return kExitReportNotWritten;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // It reports the history file from where asked.
    ServiceReportSources sources;
    sources.visit = info.visit;
    sources.historySinceUtc = info.reportSince.isValid() ? info.reportSince : now;
    std::unique_ptr<CStoredHistory> stored;
    if (history != nullptr && !info.visit.IsEmpty()) {
        history->RecordAction(now.toMSecsSinceEpoch(), VisitHistoryText(info.visit));
    }
    if (history != nullptr && history->Writer() != nullptr) {
        stored = std::make_unique<CStoredHistory>(history->Writer());
        sources.history = stored.get();
        // The window's client keeps its trace beside the history.
        sources.trace = [path = TraceFilePath(history->Writer()->Path())] {
            return LoadTraceFile(path);
        };
    }
    const ReportResult result = MakeServiceReport(info.reportPath, sources, now);
    if (result.outcome == ReportOutcome::Written) {
        return kExitReportWritten;
    }
    AppMessageBox(result.message);
    return result.outcome == ReportOutcome::WrittenIncomplete ? kExitReportIncomplete
                                                              : kExitReportNotWritten;
}

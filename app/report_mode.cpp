#include "report_mode.h"

#include "history_recorder.h"
#include "ids_report.h"
#include "report_file.h"
#include "stored_history.h"
#include "string_table.h"
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

int WriteServiceReport(const CCommandLineInfo& info, const CHistoryRecorder* history) {
    if (info.badReportSince) {
        AppMessageBox(LoadString(IDS_REPORT_BAD_SINCE).arg(*info.badReportSince));
        return kExitReportNotWritten;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // A process of its own has no trace; it reports the history file from where asked.
    ServiceReportSources sources;
    sources.historySinceUtc = info.reportSince.isValid() ? info.reportSince : now;
    std::unique_ptr<CStoredHistory> stored;
    if (history != nullptr && history->Writer() != nullptr) {
        stored = std::make_unique<CStoredHistory>(history->Writer());
        sources.history = stored.get();
    }
    const ReportResult result = MakeServiceReport(info.reportPath, sources, now);
    if (result.outcome == ReportOutcome::Written) {
        return kExitReportWritten;
    }
    AppMessageBox(result.message);
    return result.outcome == ReportOutcome::WrittenIncomplete ? kExitReportIncomplete
                                                              : kExitReportNotWritten;
}

#include "service_report_command.h"

#include "history_recorder.h"
#include "report_document.h"
#include "report_file.h"
#include "report_job.h"
#include "resource.h"
#include "service_report_dlg.h"
#include "string_table.h"
#include "ui.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QSettings>
#include <QStatusBar>

namespace {

QSettings Profile() {
    return QSettings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
}

} // namespace

CServiceReportCommand::CServiceReportCommand(QWidget* owner,
                                             ServiceReportSources::TraceSource trace,
                                             std::unique_ptr<IServiceHistorySource> history,
                                             Clock clock)
    : QObject(owner), m_owner(owner),
      m_history(std::move(history)), m_sources{std::move(trace), m_history.get(), {}, {}},
      m_clock(std::move(clock)), m_clientStartUtc(m_clock()) {}

bool CServiceReportCommand::HasCommand(int commandId) const {
    return commandId == ID_FILE_SERVICE_REPORT;
}

void CServiceReportCommand::OnCommand(int commandId) {
    if (commandId == ID_FILE_SERVICE_REPORT) {
        OnServiceReport();
    }
}

bool CServiceReportCommand::OnServiceReport() {
    ServiceReportSources sources = m_sources;
    {
        CServiceReportDlg dlg(m_clientStartUtc, m_clock(), RememberedVisit(Profile()), m_owner);
        if (dlg.DoModal() != IDOK) {
            return false;
        }
        sources.historySinceUtc = dlg.HistorySince();
        sources.visit = dlg.Visit();
    }
    QSettings profile = Profile();
    RememberVisit(profile, sources.visit);
    const QString caption = LoadString(IDS_REPORT_TITLE);
    const QString path = ChooseSaveFile(
        m_owner, caption, LoadString(IDS_REPORT_PDF_FILTER),
        LoadString(IDS_REPORT_FILE_NAME)
            .arg(m_clock().toLocalTime().toString(LoadString(IDS_REPORT_FILE_NAME_TIME))));
    if (path.isEmpty()) {
        return false;
    }
    if (!sources.visit.IsEmpty()) {
        NoteServiceAction(VisitHistoryText(sources.visit));
    }
    // Every figure comes from the instrument now, after the engineer has chosen; the history,
    // the layout and the file are the worker's when the history may be read there.
    ServiceReport report = ReadInstrumentReport(sources, m_clock());
    const IServiceHistorySource* history = m_history.get();
    if (history != nullptr && !history->ReadsOnAnyThread()) {
        AddServiceHistory(report, history);
        history = nullptr;
    }
    ReportProgress progress;
    const ReportResult result =
        RunReportJob(m_owner, progress, [&report, history, &path, &progress] {
            AddServiceHistory(report, history);
            return WriteReportFile(report, path, &progress);
        });
    if (result.outcome == ReportOutcome::Cancelled) {
        return false;
    }
    if (result.outcome == ReportOutcome::NotWritten) {
        ShowMessageBox(m_owner, result.message, caption, MB_ICONEXCLAMATION);
        return false;
    }
    if (auto* frame = qobject_cast<QMainWindow*>(m_owner)) {
        frame->statusBar()->showMessage(result.message);
    }
    return true;
}

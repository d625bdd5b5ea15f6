#include "service_report_command.h"

#include "report_file.h"
#include "resource.h"
#include "service_report_dlg.h"
#include "string_table.h"
#include "ui.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QStatusBar>

CServiceReportCommand::CServiceReportCommand(QWidget* owner,
                                             ServiceReportSources::TraceSource trace,
                                             std::unique_ptr<IServiceHistorySource> history,
                                             Clock clock)
    : QObject(owner), m_owner(owner),
      m_history(std::move(history)), m_sources{std::move(trace), m_history.get(), {}},
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
        CServiceReportDlg dlg(m_clientStartUtc, m_clock(), m_owner);
        if (dlg.DoModal() != IDOK) {
            return false;
        }
        sources.historySinceUtc = dlg.HistorySince();
    }
    const QString caption = LoadString(IDS_REPORT_TITLE);
    const QString path = ChooseSaveFile(
        m_owner, caption, LoadString(IDS_REPORT_PDF_FILTER),
        LoadString(IDS_REPORT_FILE_NAME)
            .arg(m_clock().toLocalTime().toString(LoadString(IDS_REPORT_FILE_NAME_TIME))));
    if (path.isEmpty()) {
        return false;
    }
    // Every figure comes from the instrument now, after the engineer has chosen.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const ReportResult result = MakeServiceReport(path, sources, m_clock());
    QGuiApplication::restoreOverrideCursor();
    if (result.outcome == ReportOutcome::NotWritten) {
        ShowMessageBox(m_owner, result.message, caption, MB_ICONEXCLAMATION);
        return false;
    }
    if (auto* frame = qobject_cast<QMainWindow*>(m_owner)) {
        frame->statusBar()->showMessage(result.message);
    }
    return true;
}

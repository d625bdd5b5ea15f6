#include "trace_docks.h"

#include "connection_status.h"
#include "event_log_dock.h"
#include "event_log_history.h"
#include "history_recorder.h"
#include "history_writer.h"
#include "ids_history.h"
#include "main_frame.h"
#include "orvix_client_view.h"
#include "pressure_trace_dock.h"
#include "resource.h"
#include "service_report_command.h"
#include "stored_history.h"
#include "string_table.h"
#include "trace_file.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>

#include <chrono>

namespace {

constexpr char kProfileSection[] = "Docks";

QSettings Profile() {
    return QSettings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
}

QString ProfileKey(QDockWidget* dock) {
    return QLatin1String(kProfileSection) + u'/' + dock->objectName();
}

QMenu* ViewMenu(CMainFrame* frame) {
    QAction* statusBarToggle = frame->Action(ID_VIEW_STATUS_BAR);
    if (statusBarToggle == nullptr) {
        return nullptr;
    }
    for (QObject* holder : statusBarToggle->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(holder)) {
            return menu;
        }
    }
    return nullptr;
}

void AddToggle(CMainFrame* frame, QMenu* viewMenu, QDockWidget* dock, int commandId) {
    dock->setVisible(Profile().value(ProfileKey(dock), false).toBool());
    QAction* toggle = dock->toggleViewAction();
    toggle->setProperty("commandId", commandId);
    toggle->setStatusTip(LoadString(commandId).section(u'\n', 0, 0));
    // The toggle follows the user's own showing and hiding (the menu, or the dock's close
    // button); the docks going with a closed frame are not the user's choice.
    QObject::connect(toggle, &QAction::toggled, dock, [dock, frame](bool shown) {
        if (frame->isVisible()) {
            Profile().setValue(ProfileKey(dock), shown);
        }
    });
    if (viewMenu != nullptr) {
        viewMenu->addAction(toggle);
    }
}

void ShowHistoryText(QLabel* pane, const QString& reason) {
    const QString text = LoadString(IDS_HISTORY_NOT_KEPT).arg(reason);
    pane->setText(text);
    pane->setAccessibleName(text);
    pane->show();
}

// The Event Log dock may be hidden: while the history is not being kept the status bar says so
// as well, until entries are kept again.
void AddHistoryPane(CMainFrame* frame, CHistoryWriter* writer) {
    auto* pane = new QLabel(frame->statusBar());
    pane->setObjectName(QStringLiteral("historyPane"));
    pane->setTextFormat(Qt::PlainText);
    pane->setFrameShape(QFrame::Panel);
    pane->setFrameShadow(QFrame::Sunken);
    pane->hide();
    frame->statusBar()->addPermanentWidget(pane);
    QObject::connect(writer, &CHistoryWriter::failed, pane,
                     [pane](const QString& reason) { ShowHistoryText(pane, reason); });
    QObject::connect(writer, &CHistoryWriter::resumed, pane, &QWidget::hide);
    if (const QString failure = writer->Failure(); !failure.isEmpty()) {
        ShowHistoryText(pane, failure);
    }
}

} // namespace

CServiceReportCommand* AddTraceDocks(CMainFrame* frame, COrvixClientView* view) {
    auto* trace = new CPressureTraceDock(
        std::chrono::milliseconds(COrvixClientView::kRefreshPeriodMs), frame);
    auto* log = new CEventLogDock(frame);
    frame->addDockWidget(Qt::RightDockWidgetArea, trace);
    frame->addDockWidget(Qt::BottomDockWidgetArea, log);
    QObject::connect(view, &COrvixClientView::statusRead, trace, &CPressureTraceDock::OnStatusRead);
    QObject::connect(view, &COrvixClientView::statusRead, log, &CEventLogDock::OnStatusRead);
    CHistoryRecorder* history = ServiceHistory();
    log->AttachHistory(history != nullptr ? history->Writer() : nullptr);
    if (history != nullptr && history->Writer() != nullptr) {
        AddHistoryPane(frame, history->Writer());
        // After the dock took the reading. The file is a copy for a report made by another
        // process: a save that fails leaves the last one, whose readings age out of the report.
        QObject::connect(view, &COrvixClientView::statusRead, trace,
                         [trace, path = TraceFilePath(history->Writer()->Path())] {
                             QString ignored;
                             SaveTraceFile(path, trace->Trace().Shown(), &ignored);
                         });
    }
    if (history != nullptr) {
        QObject::connect(&log->Log(), &CEventLog::entryAdded, log,
                         [history](HistoryKind kind, qint64 whenMs, const QString& text) {
                             history->Record(kind, whenMs, text);
                         });
    }
    CConnectionStatus* connection = view->ConnectionStatus();
    QObject::connect(connection, &CConnectionStatus::stateChanged, log,
                     [log, connection](ConnectionState, const QDateTime& since) {
                         log->AddConnectionChange(connection->Text(), since);
                     });

    QMenu* viewMenu = ViewMenu(frame);
    if (viewMenu != nullptr) {
        viewMenu->addSeparator();
    }
    AddToggle(frame, viewMenu, trace, ID_VIEW_PRESSURE_TRACE);
    AddToggle(frame, viewMenu, log, ID_VIEW_EVENT_LOG);

    // Without the history file (turned off) the report has this session's event log.
    std::unique_ptr<IServiceHistorySource> reported;
    if (history != nullptr && history->Writer() != nullptr) {
        reported = std::make_unique<CStoredHistory>(history->Writer());
    } else {
        reported = std::make_unique<CEventLogHistory>(log->Log());
    }
    return new CServiceReportCommand(
        frame, [trace] { return trace->Trace().Shown(); }, std::move(reported));
}

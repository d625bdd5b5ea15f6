#include "main_template.h"

#include "control_commands.h"
#include "ids_app.h"
#include "main_frame.h"
#include "orvix_client_doc.h"
#include "orvix_client_view.h"
#include "service_report_command.h"
#include "trace_docks.h"

#include <QStatusBar>

std::unique_ptr<CSingleDocTemplate> CreateMainDocTemplate() {
    // The application's command handlers live as long as its template.
    auto commands = std::make_shared<CControlCommands>();
    DocTemplateParts parts;
    parts.createDocument = [] { return new COrvixClientDoc; };
    parts.createFrame = [] { return new CMainFrame; };
    parts.createView = [commands](COrvixClientDoc*, CMainFrame* frame) -> QWidget* {
        auto* view = new COrvixClientView(frame);
        frame->SetConnectionStatus(view->ConnectionStatus());
        QObject::connect(view, &COrvixClientView::fitFrameRequested, frame, &CMainFrame::FitToView);
        QObject::connect(view->TestCommands(), &CTestCommands::statusMessage, frame,
                         [frame](const QString& text) { frame->statusBar()->showMessage(text); });
        CServiceReportCommand* report = AddTraceDocks(frame, view);
        commands->SetOwner(frame);
        frame->SetCommandTargets({view, commands.get(), report});
        return view;
    };
    parts.initialUpdate = [](QWidget* view) {
        static_cast<COrvixClientView*>(view)->OnInitialUpdate();
    };
    return std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, std::move(parts));
}

#include "orvix_client_app.h"

#include "app_lock.h"
#include "com.h"
#include "dbus_link.h"
#include "error_info.h"
#include "history_settings.h"
#include "history_writer.h"
#include "icon_table.h"
#include "ids_app.h"
#include "instrument_forwarder.h"
#include "instrument_server.h"
#include "main_frame.h"
#include "main_template.h"
#include "orvix_client_doc.h"
#include "orvix_client_view.h"
#include "recording_server.h"
#include "report_file.h"
#include "resource.h"
#include "stored_history.h"
#include "string_table.h"
#include "ui.h"

#include <QApplication>
#include <QDBusConnection>
#include <QPointer>
#include <QSettings>

#include <cstdio>

namespace {

// Object linking and embedding, on this platform, is the session bus: it carries both the
// instrument server's calls and the automation clients'.
bool OleInitialize() {
    return QDBusConnection::sessionBus().isConnected();
}

} // namespace

HRESULT COrvixClientApp::CreateServerObject(IInstrumentServer** ppServer) {
    return CoCreateInstance(CLSID_InstrumentServer, nullptr, CLSCTX_LOCAL_SERVER,
                            IID_IInstrumentServer, reinterpret_cast<void**>(ppServer));
}

COrvixClientApp::COrvixClientApp(TemplateFactory makeTemplate)
    : m_makeTemplate(makeTemplate ? std::move(makeTemplate)
                                  : TemplateFactory(CreateMainDocTemplate)) {
    QCoreApplication::setApplicationName(kAppTitle);
}

COrvixClientApp::~COrvixClientApp() {
    SetAllObjectsReleasedHandler(nullptr);
    SetUserControl(true);
}

bool COrvixClientApp::InitInstance(const QStringList& arguments) {
    m_cmdInfo = CCommandLineInfo::Parse(arguments);
    if (m_cmdInfo.WritesReport()) {
        // No window: a script reads what went wrong on standard error.
        m_exitCode = kExitReportNotWritten;
        SetMessageBoxHandler([](const MessageBoxRequest& request) {
            std::fprintf(stderr, "%s\n", request.text.toUtf8().constData());
            return IDOK;
        });
    }
    if (!OleInitialize()) {
        AppMessageBox(LoadString(IDP_OLE_INIT_FAILED));
        return false;
    }

    m_comInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    IInstrumentServer* pCreated = nullptr;
    const HRESULT hr = CreateServerObject(&pCreated);
    if (FAILED(hr)) {
        // What the transport said (ssh's words for a remote computer) says more than the code.
        const std::string detail = TakeErrorInfoText();
        ShowMessageBox(nullptr,
                       QString::fromStdString(detail.empty() ? SystemMessageText(hr) : detail),
                       QStringLiteral("Error"), MB_ICONINFORMATION);
        // Once here; ExitInstance, which still runs, finds nothing left to uninitialise.
        UninitializeCom();
        return false;
    }
    InstallServer(pCreated);
    pCreated->Release();
    InstallServiceHistory(m_cmdInfo);

    // The server reports its own failures on later calls; start-up goes on whatever this says.
    g_pServer->OpenConnection(kConnectArg1, kConnectArg2);
    if (m_cmdInfo.WritesReport()) {
        WriteReport();
        return false;
    }

    SetRegistryKey(kProfileKey);
    LoadStdProfileSettings(kRecentFileCount);

    m_pDocTemplate = m_makeTemplate();
    if (!m_pDocTemplate) {
        return false;
    }
    m_server.ConnectTemplate(CLSID_OrvixClientDocument, m_pDocTemplate.get(), true);

    // The application stays while automation objects exist, and ends with the last of them
    // unless the user has it.
    SetAllObjectsReleasedHandler([] { QCoreApplication::quit(); });

    if (m_cmdInfo.LaunchedForAutomation()) {
        SetUserControl(false);
        const QDBusConnection bus = QDBusConnection::sessionBus();
        m_server.RegisterAll(bus);
        // Started by the bus: it goes when the bus goes.
        QuitWhenBusDisconnects(bus, QCoreApplication::instance());
        return true;
    }
    SetUserControl(true);

    m_server.UpdateRegistry(QCoreApplication::applicationFilePath());

    if (!ProcessShellCommand()) {
        return false;
    }

    if (m_cmdInfo.server.IsRemote()) {
        m_pMainWnd->SetServerHost(m_cmdInfo.server.host);
    }
    m_pMainWnd->setWindowTitle(kMainWindowCaption);
    m_pMainWnd->setWindowIcon(LoadIconResource(IDI_MAINFRAME));
    m_pMainWnd->show();
    m_pMainWnd->repaint();
    return true;
}

int COrvixClientApp::Run() {
    // Asked to end during start-up: the event loop would wait for a quit that came before it.
    if (!m_ending) {
        m_exitCode = QApplication::exec();
    }
    if (m_pDocTemplate) {
        m_pDocTemplate->CloseAllDocuments();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return m_exitCode;
}

void COrvixClientApp::InstallServiceHistory(const CCommandLineInfo& info) {
    const HistorySettings settings =
        HistorySettings::Read(QSettings(kProfileKey, QCoreApplication::applicationName()));
    if (info.noHistory || !settings.enabled) {
        return;
    }
    m_pHistory = std::make_unique<CHistoryRecorder>(
        std::make_unique<CHistoryWriter>(HistoryFilePath(), settings.retention));
    SetServiceHistory(m_pHistory.get());
    IInstrumentServer* recording = CRecordingInstrumentServer::Create(g_pServer, *m_pHistory);
    g_pServer->Release();
    g_pServer = recording;
}

int COrvixClientApp::ExitInstance() {
    // A try in flight ends first: what it made goes with it.
    m_pReconnector.reset();
    if (g_pServer != nullptr) {
        g_pServer->Release();
        g_pServer = nullptr;
        m_pForwarder = nullptr;
    }
    // Whatever is still waiting goes to the disk before the process ends.
    SetServiceHistory(nullptr);
    m_pHistory.reset();
    UninitializeCom();
    SaveStdProfileSettings();
    return m_exitCode;
}

void COrvixClientApp::InstallServer(IInstrumentServer* pCreated) {
    m_pForwarder = new CInstrumentServerForwarder(pCreated);
    g_pServer = m_pForwarder;
    m_pReconnector = std::make_unique<CServerReconnector>(m_pForwarder, &CreateServerObject);
    QObject::connect(m_pReconnector.get(), &CServerReconnector::reconnected,
                     [this] { OnServerReconnected(); });
    m_pReconnector->Start();
}

void COrvixClientApp::OnServerReconnected() {
    // A new server process knows nothing of what the old one was told to keep (the connection
    // opened, the syringe data fetch, the autosampler monitor): it is told again, through
    // g_pServer as every call is. The view then reads the configuration anew.
    m_pForwarder->SessionCalls().ReplayOn(*g_pServer);
    if (m_pDocTemplate == nullptr) {
        return;
    }
    if (auto* view = qobject_cast<COrvixClientView*>(m_pDocTemplate->View())) {
        view->OnServerReconnected();
    }
}

void COrvixClientApp::CloseMainWindow() {
    m_ending = true;
    // Each modal window runs a loop of its own, which returns once the window is hidden; the
    // top one first, as the user would close them. Before the main loop runs (the start-up
    // boxes) that is what ends the application.
    const qsizetype windows = QApplication::topLevelWidgets().size();
    for (qsizetype i = 0; i < windows; ++i) {
        const QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            break;
        }
        modal->close();
        // A box without a button that closes it says no to close; it goes all the same.
        if (modal != nullptr) {
            modal->hide();
        }
    }
    if (CMainFrame* frame = MainWindow()) {
        frame->close();
    }
    QCoreApplication::quit();
}

CMainFrame* COrvixClientApp::MainWindow() const {
    // The main window is the frame of the document the user works in, while it exists.
    if (m_pMainWnd == nullptr || m_pDocTemplate == nullptr ||
        m_pDocTemplate->Frame() != m_pMainWnd) {
        return nullptr;
    }
    return m_pMainWnd;
}

void COrvixClientApp::SetRegistryKey(const QString& key) {
    QCoreApplication::setOrganizationName(key);
}

void COrvixClientApp::LoadStdProfileSettings(int recentFileCount) {
    QSettings profile(QCoreApplication::organizationName(), QCoreApplication::applicationName());
    m_pRecentFileList = std::make_unique<CRecentFileList>(recentFileCount);
    m_pRecentFileList->ReadList(profile);
}

void COrvixClientApp::SaveStdProfileSettings() {
    if (!m_pRecentFileList) {
        return;
    }
    QSettings profile(QCoreApplication::organizationName(), QCoreApplication::applicationName());
    m_pRecentFileList->WriteList(profile);
}

bool COrvixClientApp::ProcessShellCommand() {
    // A new, empty document: the frame and the view come with it.
    COrvixClientDoc* document = m_pDocTemplate->OpenDocumentFile(true);
    if (document == nullptr) {
        return false;
    }
    m_pMainWnd = m_pDocTemplate->Frame();
    if (m_pMainWnd == nullptr) {
        return false;
    }
    m_pMainWnd->SetCloseHandler([this] { return OnMainWindowClose(); });
    return true;
}

bool COrvixClientApp::OnMainWindowClose() {
    m_pDocTemplate->CloseAllDocuments();
    m_pMainWnd = nullptr;
    if (!CanExitApp()) {
        // Automation clients still hold objects: the application ends with the last of them.
        SetUserControl(false);
        return true;
    }
    QCoreApplication::quit();
    return true;
}

void COrvixClientApp::UninitializeCom() {
    if (m_comInitialized) {
        m_comInitialized = false;
        CoUninitialize();
    }
}

void COrvixClientApp::WriteReport() {
    if (m_cmdInfo.badReportSince) {
        AppMessageBox(LoadString(IDS_REPORT_BAD_SINCE).arg(*m_cmdInfo.badReportSince));
        return;
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // A process of its own has no trace; it reports the history file from where asked.
    ServiceReportSources sources;
    sources.historySinceUtc = m_cmdInfo.reportSince.isValid() ? m_cmdInfo.reportSince : now;
    std::unique_ptr<CStoredHistory> history;
    if (m_pHistory != nullptr && m_pHistory->Writer() != nullptr) {
        history = std::make_unique<CStoredHistory>(m_pHistory->Writer());
        sources.history = history.get();
    }
    const ReportResult result = MakeServiceReport(m_cmdInfo.reportPath, sources, now);
    switch (result.outcome) {
    case ReportOutcome::Written:
        m_exitCode = kExitReportWritten;
        return;
    case ReportOutcome::WrittenIncomplete:
        m_exitCode = kExitReportIncomplete;
        break;
    case ReportOutcome::NotWritten:
        m_exitCode = kExitReportNotWritten;
        break;
    }
    AppMessageBox(result.message);
}

#include "orvix_client_app.h"

#include "app_lock.h"
#include "com.h"
#include "dbus_link.h"
#include "history_settings.h"
#include "history_writer.h"
#include "icon_table.h"
#include "ids_app.h"
#include "instrument_server.h"
#include "main_frame.h"
#include "main_template.h"
#include "orvix_client_doc.h"
#include "recording_server.h"
#include "string_table.h"
#include "ui.h"

#include <QApplication>
#include <QDBusConnection>
#include <QSettings>

namespace {

// Object linking and embedding, on this platform, is the session bus: it carries both the
// instrument server's calls and the automation clients'.
bool OleInitialize() {
    return QDBusConnection::sessionBus().isConnected();
}

} // namespace

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
    if (!OleInitialize()) {
        AppMessageBox(LoadString(IDP_OLE_INIT_FAILED));
        return false;
    }

    m_comInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    const HRESULT hr =
        CoCreateInstance(CLSID_InstrumentServer, nullptr, CLSCTX_LOCAL_SERVER,
                         IID_IInstrumentServer, reinterpret_cast<void**>(&g_pServer));
    if (FAILED(hr)) {
        g_pServer = nullptr;
        ShowMessageBox(nullptr, QString::fromStdString(SystemMessageText(hr)),
                       QStringLiteral("Error"), MB_ICONINFORMATION);
        // Once here; ExitInstance, which still runs, finds nothing left to uninitialise.
        UninitializeCom();
        return false;
    }

    m_cmdInfo = CCommandLineInfo::Parse(arguments);
    InstallServiceHistory(m_cmdInfo);

    // The server reports its own failures on later calls; start-up goes on whatever this says.
    g_pServer->OpenConnection(kConnectArg1, kConnectArg2);

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

    m_pMainWnd->setWindowTitle(kMainWindowCaption);
    m_pMainWnd->setWindowIcon(LoadIconResource(IDI_MAINFRAME));
    m_pMainWnd->show();
    m_pMainWnd->repaint();
    return true;
}

int COrvixClientApp::Run() {
    m_exitCode = QApplication::exec();
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
    if (g_pServer != nullptr) {
        g_pServer->Release();
        g_pServer = nullptr;
    }
    // Whatever is still waiting goes to the disk before the process ends.
    SetServiceHistory(nullptr);
    m_pHistory.reset();
    UninitializeCom();
    SaveStdProfileSettings();
    return m_exitCode;
}

void COrvixClientApp::CloseMainWindow() {
    if (CMainFrame* frame = MainWindow()) {
        frame->close();
    } else {
        QCoreApplication::quit();
    }
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

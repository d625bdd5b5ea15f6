#include "orvix_client_app.h"

#include "app_lock.h"
#include "com.h"
#include "dbus_link.h"
#include "error_info.h"
#include "icon_table.h"
#include "ids_app.h"
#include "instrument_server.h"
#include "main_frame.h"
#include "main_template.h"
#include "orvix_client_doc.h"
#include "orvix_client_view.h"
#include "resource.h"
#include "ssh_bus.h"
#include "string_table.h"
#include "ui.h"

#include <QApplication>
#include <QDBusConnection>
#include <QPointer>
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
    m_cmdInfo = CCommandLineInfo::Parse(arguments);
    if (m_cmdInfo.WritesReport()) {
        m_exitCode = kExitReportNotWritten;
        ShowMessagesOnStandardError();
    }
    if (!OleInitialize()) {
        AppMessageBox(LoadString(IDP_OLE_INIT_FAILED));
        return false;
    }

    m_comInitialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    m_session.SetReconnectedHandler([this] { OnServerReconnected(); });
    m_session.SetTryFailedHandler([this](const QString& reason) { OnServerTryFailed(reason); });
    QString reason;
    const HRESULT hr = m_session.Open(m_cmdInfo.server.IsRemote(), &reason);
    if (FAILED(hr)) {
        // Asked to end while the server was sought: nothing to tell.
        if (!m_ending) {
            ShowMessageBox(nullptr, reason, QStringLiteral("Error"), MB_ICONINFORMATION);
        }
        // Once here; ExitInstance, which still runs, finds nothing left to uninitialise.
        UninitializeCom();
        return false;
    }
    m_session.InstallServiceHistory(kProfileKey, m_cmdInfo.noHistory);

    // The server reports its own failures on later calls; start-up goes on whatever this says.
    g_pServer->OpenConnection(kConnectArg1, kConnectArg2);
    if (m_cmdInfo.WritesReport()) {
        m_exitCode = WriteServiceReport(m_cmdInfo, m_session.History());
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

int COrvixClientApp::ExitInstance() {
    m_session.Close();
    UninitializeCom();
    SaveStdProfileSettings();
    return m_exitCode;
}

void COrvixClientApp::OnServerTryFailed(const QString& reason) {
    if (m_pDocTemplate == nullptr) {
        return;
    }
    if (auto* view = qobject_cast<COrvixClientView*>(m_pDocTemplate->View())) {
        view->ConnectionStatus()->SetUnreachableReason(reason);
    }
}

void COrvixClientApp::OnServerReconnected() {
    // The view reads the new server's configuration anew.
    if (m_pDocTemplate == nullptr) {
        return;
    }
    if (auto* view = qobject_cast<COrvixClientView*>(m_pDocTemplate->View())) {
        view->OnServerReconnected();
    }
}

void COrvixClientApp::CloseMainWindow() {
    m_ending = true;
    // A start-up that waits for an SSH login ends with it.
    CancelSshBusTries();
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

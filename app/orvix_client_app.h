#pragma once

#include "command_line.h"
#include "doc_template.h"
#include "recent_file_list.h"
#include "report_mode.h"
#include "server_session.h"
#include "template_server.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CMainFrame;

// The application's names as the profile and the windows show them.
inline const QString kAppTitle = QStringLiteral("Orvix Client");
inline const QString kProfileKey = QStringLiteral("Local AppWizard-Generated Applications");
inline const QString kMainWindowCaption = QStringLiteral("Orvix Diagnostics");
constexpr int kRecentFileCount = 4;

// The application object: brings up the platform services, opens the session with the
// instrument server (g_pServer), serves the document class to automation clients, creates the
// main window, and at the end releases the connection.
class COrvixClientApp {
public:
    using TemplateFactory = std::function<std::unique_ptr<CSingleDocTemplate>()>;

    explicit COrvixClientApp(TemplateFactory makeTemplate = nullptr);
    ~COrvixClientApp();

    COrvixClientApp(const COrvixClientApp&) = delete;
    COrvixClientApp& operator=(const COrvixClientApp&) = delete;

    // True to run the event loop, false to end at once (ExitInstance still runs).
    bool InitInstance(const QStringList& arguments);
    // The event loop; when it ends, every document and window is gone.
    int Run();
    // Releases the connection and gives COM back; answers the process's exit code.
    int ExitInstance();

    // What a termination signal does, at any point of the application's life: closes the open
    // message boxes and dialogs, then the main window, and ends the application as closing the
    // window does, automation clients or not.
    void CloseMainWindow();

    CMainFrame* MainWindow() const;
    CSingleDocTemplate* DocTemplate() const { return m_pDocTemplate.get(); }
    COleTemplateServer& TemplateServer() { return m_server; }
    const CRecentFileList* RecentFileList() const { return m_pRecentFileList.get(); }
    const CCommandLineInfo& CommandLineInfo() const { return m_cmdInfo; }

private:
    void OnServerReconnected();
    // The status bar and the event log say why the server is still out of reach.
    void OnServerTryFailed(const QString& reason);
    void SetRegistryKey(const QString& key);
    void LoadStdProfileSettings(int recentFileCount);
    void SaveStdProfileSettings();
    bool ProcessShellCommand();
    bool OnMainWindowClose();
    void UninitializeCom();

    TemplateFactory m_makeTemplate;
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
    // Declared after the template, so it goes first: its class object is revoked and its
    // clients' references given back while the documents still exist.
    COleTemplateServer m_server;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    CCommandLineInfo m_cmdInfo;
    CMainFrame* m_pMainWnd = nullptr;
    CServerSession m_session;
    bool m_comInitialized = false;
    bool m_ending = false;
    int m_exitCode = 0;
};

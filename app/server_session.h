#pragma once

#include "history_recorder.h"
#include "hresult.h"
#include "instrument_forwarder.h"
#include "server_reconnector.h"

#include <QString>

#include <functional>
#include <memory>
#include <utility>

// The application's one connection to the instrument server: owns g_pServer and the chain in
// front of the server object (the forwarder that outlives a server gone away, the reconnector
// that brings one back, the service history's recording server), and gives it all back.
class CServerSession {
public:
    CServerSession() = default;
    // Closes the session if it is still open.
    ~CServerSession();

    CServerSession(const CServerSession&) = delete;
    CServerSession& operator=(const CServerSession&) = delete;

    // The one place where the instrument server object is made, at start and at every
    // reconnect (on the reconnect's own thread): the class, the interface, activation included.
    static HRESULT CreateServerObject(IInstrumentServer** ppServer);

    // Makes the server object and sets g_pServer; on failure g_pServer stays null, the answer
    // and *pReason say why. A remote server is sought while the program's signals are served,
    // and its reconnect tries back off.
    HRESULT Open(bool remote, QString* pReason);
    // Puts the service history's recording server in front of the instrument server, unless
    // the history is off in the profile (the settings under profileKey) or asked off.
    void InstallServiceHistory(const QString& profileKey, bool noHistory);
    // Told once a new server is in place and opened as the first one was.
    void SetReconnectedHandler(std::function<void()> onReconnected) {
        m_onReconnected = std::move(onReconnected);
    }
    // Told with the reason each time a reconnect try fails.
    void SetTryFailedHandler(std::function<void(const QString&)> onTryFailed) {
        m_onTryFailed = std::move(onTryFailed);
    }
    // Releases g_pServer, ending a try in flight at once however far its SSH login got; what the
    // history still holds goes to the disk.
    void Close();

    CHistoryRecorder* History() const { return m_pHistory.get(); }

private:
    // The one place where g_pServer is set: a forwarder that stays while the server object
    // behind it is made anew after the server went away.
    void InstallServer(IInstrumentServer* pCreated, bool remote);
    void OnServerReconnected();

    std::unique_ptr<CHistoryRecorder> m_pHistory;
    // g_pServer's reference; null when no server was reached.
    CInstrumentServerForwarder* m_pForwarder = nullptr;
    std::unique_ptr<CServerReconnector> m_pReconnector;
    std::function<void()> m_onReconnected;
    std::function<void(const QString&)> m_onTryFailed;
};

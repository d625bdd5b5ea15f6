#include "server_session.h"

#include "com.h"
#include "error_info.h"
#include "history_settings.h"
#include "history_writer.h"
#include "instrument_server.h"
#include "recording_server.h"
#include "retry_backoff.h"
#include "server_creation.h"
#include "ssh_bus.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSettings>

#include <utility>

CServerSession::~CServerSession() {
    Close();
}

HRESULT CServerSession::CreateServerObject(IInstrumentServer** ppServer) {
    return CoCreateInstance(CLSID_InstrumentServer, nullptr, CLSCTX_LOCAL_SERVER,
                            IID_IInstrumentServer, reinterpret_cast<void**>(ppServer));
}

HRESULT CServerSession::Open(bool remote, QString* pReason) {
    IInstrumentServer* pCreated = nullptr;
    HRESULT hr = S_OK;
    if (remote) {
        // An SSH login takes its time: the program's signals are served meanwhile.
        hr = CServerCreation::CreateAndWait(&CreateServerObject, &pCreated, pReason);
    } else {
        hr = CreateServerObject(&pCreated);
        if (FAILED(hr)) {
            // What the transport said says more than the code.
            const std::string detail = TakeErrorInfoText();
            *pReason = QString::fromStdString(detail.empty() ? SystemMessageText(hr) : detail);
        }
    }
    if (FAILED(hr)) {
        return hr;
    }
    InstallServer(pCreated, remote);
    pCreated->Release();
    return hr;
}

void CServerSession::InstallServiceHistory(const QString& profileKey, bool noHistory) {
    const HistorySettings settings =
        HistorySettings::Read(QSettings(profileKey, QCoreApplication::applicationName()));
    if (noHistory || !settings.enabled) {
        return;
    }
    HistoryWriterOptions options;
    options.retention = settings.retention;
    options.archive = settings.archive;
    m_pHistory = std::make_unique<CHistoryRecorder>(
        std::make_unique<CHistoryWriter>(HistoryFilePath(), options));
    SetServiceHistory(m_pHistory.get());
    // A setting that gave way to its default is part of what the history must show.
    for (const QString& problem : settings.problems) {
        m_pHistory->Record(HistoryKind::Error, QDateTime::currentMSecsSinceEpoch(), problem);
    }
    IInstrumentServer* recording = CRecordingInstrumentServer::Create(g_pServer, *m_pHistory);
    g_pServer->Release();
    g_pServer = recording;
}

void CServerSession::Close() {
    // A try in flight ends first, at once however far its SSH login got: what it made goes
    // with it.
    CancelSshBusTries();
    m_pReconnector.reset();
    if (g_pServer != nullptr) {
        g_pServer->Release();
        g_pServer = nullptr;
        m_pForwarder = nullptr;
    }
    // Whatever is still waiting goes to the disk before the process ends.
    SetServiceHistory(nullptr);
    m_pHistory.reset();
}

void CServerSession::InstallServer(IInstrumentServer* pCreated, bool remote) {
    m_pForwarder = new CInstrumentServerForwarder(pCreated);
    g_pServer = m_pForwarder;
    m_pReconnector = std::make_unique<CServerReconnector>(m_pForwarder, &CreateServerObject);
    QObject::connect(m_pReconnector.get(), &CServerReconnector::reconnected,
                     [this] { OnServerReconnected(); });
    QObject::connect(m_pReconnector.get(), &CServerReconnector::tryFailed,
                     [this](HRESULT, const QString& reason) {
                         if (m_onTryFailed) {
                             m_onTryFailed(reason);
                         }
                     });
    m_pReconnector->Start(remote ? RetryBackoff::Remote()
                                 : RetryBackoff::Fixed(CServerReconnector::kRetryPeriodMs));
}

void CServerSession::OnServerReconnected() {
    // A new server process knows nothing of what the old one was told to keep (the connection
    // opened, the syringe data fetch, the autosampler monitor): it is told again, through
    // g_pServer as every call is. The view then reads the configuration anew.
    m_pForwarder->SessionCalls().ReplayOn(*g_pServer);
    if (m_onReconnected) {
        m_onReconnected();
    }
}

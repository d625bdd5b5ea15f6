#include "server_reconnector.h"

#include "com.h"

#include <QThread>
#include <QTimerEvent>

CServerReconnector::CServerReconnector(CInstrumentServerForwarder* forwarder, Creator create,
                                       QObject* parent)
    : QObject(parent), m_pForwarder(forwarder), m_create(std::move(create)) {
    m_pForwarder->SetReconnectHandler([this] { TryNow(); });
}

CServerReconnector::~CServerReconnector() {
    m_pForwarder->SetReconnectHandler(nullptr);
    JoinTry();
}

void CServerReconnector::Start(int periodMs) {
    m_timer.start(periodMs, this);
}

bool CServerReconnector::ServerGone() const {
    ConnectionState state = ConnectionState::Connected;
    std::int64_t sinceMs = 0;
    return SUCCEEDED(m_pForwarder->GetConnectionState(&state, &sinceMs)) &&
           state == ConnectionState::ServerGone;
}

bool CServerReconnector::TryNow() {
    if (IsTrying() || !ServerGone()) {
        return false;
    }
    m_tryResult = S_OK;
    m_pTryServer = nullptr;
    m_pThread.reset(QThread::create([this] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IInstrumentServer* pServer = nullptr;
        m_tryResult = m_create(&pServer);
        if (FAILED(m_tryResult)) {
            pServer = nullptr;
        }
        m_pTryServer = pServer;
        CoUninitialize();
    }));
    connect(m_pThread.get(), &QThread::finished, this, &CServerReconnector::OnTryFinished,
            Qt::QueuedConnection);
    m_pThread->start();
    return true;
}

void CServerReconnector::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId()) {
        TryNow();
        return;
    }
    QObject::timerEvent(event);
}

void CServerReconnector::OnTryFinished() {
    if (!m_pThread) {
        return;
    }
    m_pThread->wait();
    m_pThread.reset();
    IInstrumentServer* pServer = std::exchange(m_pTryServer, nullptr);
    if (pServer == nullptr) {
        emit tryFailed(FAILED(m_tryResult) ? m_tryResult : E_NOINTERFACE);
        return;
    }
    m_pForwarder->Replace(pServer);
    pServer->Release();
    emit reconnected();
}

void CServerReconnector::JoinTry() {
    if (!m_pThread) {
        return;
    }
    m_pThread->disconnect(this);
    m_pThread->wait();
    m_pThread.reset();
    if (m_pTryServer != nullptr) {
        std::exchange(m_pTryServer, nullptr)->Release();
    }
}

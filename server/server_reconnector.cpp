#include "server_reconnector.h"

#include <QRandomGenerator>
#include <QTimerEvent>

CServerReconnector::CServerReconnector(CInstrumentServerForwarder* forwarder, Creator create,
                                       QObject* parent)
    : QObject(parent), m_pForwarder(forwarder), m_create(std::move(create)) {
    m_pForwarder->SetReconnectHandler([this] { TryNow(); });
}

CServerReconnector::~CServerReconnector() {
    m_pForwarder->SetReconnectHandler(nullptr);
    // A try in flight is waited for, and what it made released.
    m_pTry.reset();
}

void CServerReconnector::Start(RetryBackoff backoff) {
    m_backoff = backoff;
    m_started = true;
    WaitAfter(0);
}

void CServerReconnector::WaitAfter(int failedTries) {
    m_failedTries = failedTries;
    if (m_started) {
        m_timer.start(m_backoff.DelayMs(failedTries, QRandomGenerator::global()->generateDouble()),
                      this);
    }
}

bool CServerReconnector::ServerGone() const {
    ConnectionState state = ConnectionState::Connected;
    std::int64_t sinceMs = 0;
    return SUCCEEDED(m_pForwarder->GetConnectionState(&state, &sinceMs)) &&
           state == ConnectionState::ServerGone;
}

bool CServerReconnector::TryNow() {
    WaitAfter(0);
    return StartTry();
}

bool CServerReconnector::StartTry() {
    if (IsTrying() || !ServerGone()) {
        return false;
    }
    m_pTry = std::make_unique<CServerCreation>(m_create);
    // Queued: the slot deletes the creation, which must not happen inside its own signal.
    connect(m_pTry.get(), &CServerCreation::finished, this, &CServerReconnector::OnTryFinished,
            Qt::QueuedConnection);
    return true;
}

void CServerReconnector::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_timer.timerId()) {
        StartTry();
        return;
    }
    QObject::timerEvent(event);
}

void CServerReconnector::OnTryFinished() {
    if (!m_pTry) {
        return;
    }
    const std::unique_ptr<CServerCreation> done = std::move(m_pTry);
    done->Wait();
    IInstrumentServer* pServer = done->TakeServer();
    if (pServer == nullptr) {
        WaitAfter(m_failedTries + 1);
        emit tryFailed(done->Result(), done->Reason());
        return;
    }
    WaitAfter(0);
    m_pForwarder->Replace(pServer);
    pServer->Release();
    emit reconnected();
}

#pragma once

#include "instrument_forwarder.h"
#include "retry_backoff.h"
#include "server_creation.h"

#include <QBasicTimer>
#include <QObject>
#include <QString>

#include <memory>

// Brings the instrument server back behind the forwarder: while the server is gone it tries,
// after a wait that the back-off sets and whenever asked, to create a new server object exactly
// as at start, and puts it in place. A try runs on a thread of its own, so a server that takes
// its time to start or a slow SSH login never stalls the window; at most one try is in flight.
class CServerReconnector : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryPeriodMs = 3000;

    // Makes a new server object and hands the caller its reference; runs on the try's thread,
    // with COM initialised there.
    using Creator = CServerCreation::Creator;

    // The forwarder must outlive this object; its reconnect requests come here.
    CServerReconnector(CInstrumentServerForwarder* forwarder, Creator create,
                       QObject* parent = nullptr);
    // Waits for a try in flight and releases what it made.
    ~CServerReconnector() override;

    // Looks at the connection from now on: at the back-off's first wait, and after failed tries
    // at its longer ones.
    void Start(RetryBackoff backoff = RetryBackoff::Fixed(kRetryPeriodMs));

    // Starts a try if the server is gone and none is in flight, and the back-off starts over;
    // true when a try started.
    bool TryNow();
    bool IsTrying() const { return m_pTry != nullptr; }

signals:
    // A new server object is in place behind the forwarder.
    void reconnected();
    // A try ended without a server, for reason (what the transport said, or the result's
    // text); the next one comes after the back-off's wait.
    void tryFailed(HRESULT result, const QString& reason);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    bool ServerGone() const;
    bool StartTry();
    void OnTryFinished();
    void WaitAfter(int failedTries);

    CInstrumentServerForwarder* m_pForwarder;
    Creator m_create;
    QBasicTimer m_timer;
    RetryBackoff m_backoff = RetryBackoff::Fixed(kRetryPeriodMs);
    bool m_started = false;
    int m_failedTries = 0;
    std::unique_ptr<CServerCreation> m_pTry;
};

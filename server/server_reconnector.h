#pragma once

#include "instrument_forwarder.h"

#include <QBasicTimer>
#include <QObject>

#include <functional>
#include <memory>

class QThread;

// Brings the instrument server back behind the forwarder: while the server is gone it tries,
// every few seconds and whenever asked, to create a new server object exactly as at start, and
// puts it in place. A try runs on a thread of its own, so a server that takes its time to start
// or a slow SSH login never stalls the window; at most one try is in flight.
class CServerReconnector : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryPeriodMs = 3000;

    // Makes a new server object and hands the caller its reference; runs on the try's thread,
    // with COM initialised there.
    using Creator = std::function<HRESULT(IInstrumentServer** ppServer)>;

    // The forwarder must outlive this object; its reconnect requests come here.
    CServerReconnector(CInstrumentServerForwarder* forwarder, Creator create,
                       QObject* parent = nullptr);
    // Waits for a try in flight and releases what it made.
    ~CServerReconnector() override;

    // Looks at the connection every periodMs from now on.
    void Start(int periodMs = kRetryPeriodMs);

    // Starts a try if the server is gone and none is in flight; true when one started.
    bool TryNow();
    bool IsTrying() const { return m_pThread != nullptr; }

signals:
    // A new server object is in place behind the forwarder.
    void reconnected();
    // A try ended without a server; the next one comes with the period.
    void tryFailed(HRESULT result);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    bool ServerGone() const;
    void OnTryFinished();
    void JoinTry();

    CInstrumentServerForwarder* m_pForwarder;
    Creator m_create;
    QBasicTimer m_timer;
    std::unique_ptr<QThread> m_pThread;
    // Written by the try's thread before it finishes, read here after.
    HRESULT m_tryResult = S_OK;
    IInstrumentServer* m_pTryServer = nullptr;
};

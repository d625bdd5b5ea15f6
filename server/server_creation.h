#pragma once

#include "instrument_server.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QThread;

// Makes a new instrument server object on a thread of its own, with COM initialised there: a
// server that takes its time to start, or a slow SSH login, holds up neither the window nor the
// bus's calls.
class CServerCreation : public QObject {
    Q_OBJECT
public:
    using Creator = std::function<HRESULT(IInstrumentServer** ppServer)>;

    // Starts at once.
    explicit CServerCreation(const Creator& create, QObject* parent = nullptr);
    // Waits for the thread, and releases what it made if no one took it.
    ~CServerCreation() override;
    CServerCreation(const CServerCreation&) = delete;
    CServerCreation& operator=(const CServerCreation&) = delete;

    // Waits for the thread; every getter below needs this or finished() first.
    void Wait();
    // A failure whenever there is no server object.
    HRESULT Result() const { return m_result; }
    // What the transport said when the creation failed, else the result's own text.
    QString Reason() const;
    // The new object and its reference; null when the creation failed.
    IInstrumentServer* TakeServer();

    // Runs create this way and waits for it in an event loop, so that the program's signals
    // and the bus's calls are served meanwhile. *pReason as Reason().
    static HRESULT CreateAndWait(const Creator& create, IInstrumentServer** ppServer,
                                 QString* pReason);

signals:
    void finished();

private:
    std::unique_ptr<QThread> m_pThread;
    // Written by the thread before it finishes, read after Wait().
    HRESULT m_result = S_OK;
    IInstrumentServer* m_pServer = nullptr;
    QString m_errorText;
};

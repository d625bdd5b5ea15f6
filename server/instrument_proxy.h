#pragma once

#include "dbus_link.h"
#include "instrument_connection.h"
#include "operation_wire.h"
#include "read_ahead.h"
#include "server_object.h"
#include "ssh_bus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

// IInstrumentServer over the bus, bound to the unique name of the server process it reached at
// creation: if that process goes away, later calls fail and nothing reconnects behind the
// caller's back. Every call blocks for at most kInstrumentCallTimeoutMs. What the calls find out
// about the server is offered through IInstrumentConnection.
class CInstrumentServerProxy final : public CInstrumentServerObject,
                                     public IInstrumentConnection,
                                     private CProxyLink {
public:
    CInstrumentServerProxy(const QDBusConnection& bus, const QString& uniqueName);

    // A proxy whose peer lives in this process: each call message goes to exchange and its answer
    // is decoded as a reply from the bus would be.
    using Exchange = std::function<QDBusMessage(const QDBusMessage& call)>;
    explicit CInstrumentServerProxy(Exchange exchange);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetConnectionState(ConnectionState* pState, std::int64_t* pSinceMs) override;

#define ORVIX_PROXY_OPERATION(slot, name, kind, access, params, args, bus)                         \
    HRESULT name params override;
#define ORVIX_SKIP_RESERVED(slot)
    ORVIX_INSTRUMENT_OPERATIONS(ORVIX_PROXY_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_PROXY_OPERATION
#undef ORVIX_SKIP_RESERVED

    const QString& ServerName() const {
        return m_service;
    }

    // Tests shorten the wait for a hung server.
    void SetCallTimeout(int milliseconds) {
        m_timeoutMs = milliseconds;
    }

    // Over a long link: reads that a timer repeats are answered from replies asked for ahead
    // (CReadAhead), so that a tick costs the caller no round trip.
    void EnableReadAhead(CReadAhead::Clock clock = CReadAhead::SteadyClock) {
        m_readAhead = std::make_unique<CReadAhead>(std::move(clock));
    }

private:
    ~CInstrumentServerProxy() override;

    QDBusMessage Call(const char* name, const QVariantList& args) override;
    // The call sent without waiting; to the exchange, answered at once.
    QDBusPendingCall Send(const QDBusMessage& message);
    // The reply, or a failure once the deadline passed.
    QDBusMessage Await(const QDBusPendingCall& pending);
    // The call's own result, or the failure that the transport or a malformed reply makes of it;
    // either way the connection state learns whether the server answered.
    HRESULT CheckReply(const QDBusMessage& reply, const std::string& outSignature) override;
    // A reply whose content does not hold what its signature promised.
    HRESULT BadReply() override;
    ErrorList* KeepErrorList(ErrorList* list) override;

    QDBusConnection m_bus;
    QString m_service;
    Exchange m_exchange;
    CConnectionTracker m_link;
    int m_timeoutMs = kInstrumentCallTimeoutMs;
    // A call that outlived its deadline and has not been answered yet. The server is still busy
    // with it, so later calls would only wait out their own deadlines behind it: they fail at
    // once until it is answered, and the window stays responsive while the server hangs.
    std::optional<QDBusPendingCall> m_overdue;
    // Null on a local bus, where a call costs less than the bookkeeping would save.
    std::unique_ptr<CReadAhead> m_readAhead;
    // The last error list handed out: its callers never free it, so the proxy owns it until
    // the next ReadAllErrors or its own release.
    ErrorList* m_pErrors = nullptr;
};

enum class PeriodicReads { AskEachTime, ReadAhead };

// Finds or starts the instrument server on the bus, checks that it serves the interface and
// creates a proxy to it.
HRESULT CreateInstrumentServerProxy(const QDBusConnection& bus, REFIID riid, void** ppv,
                                    PeriodicReads reads = PeriodicReads::AskEachTime);

// Makes the instrument server's class creatable through CoCreateInstance: on the session bus,
// or on the session bus of the location's remote computer, reached over SSH (a bus that
// closed is connected anew on the next creation), where its proxies read ahead unless
// remoteReads says otherwise. When ssh fails, what it said is left as the thread's error text.
void RegisterInstrumentServerClass(const ServerLocation& location = {},
                                   PeriodicReads remoteReads = PeriodicReads::ReadAhead);

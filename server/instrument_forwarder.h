#pragma once

#include "instrument_connection.h"
#include "instrument_decorator.h"
#include "session_calls.h"

#include <functional>

// Asks whoever keeps the instrument connection to try reaching the server again now, if it is
// gone; a connection that stands is left alone.
inline constexpr IID IID_IInstrumentReconnect{
    0x2B7E4F90, 0x5C1A, 0x4D3E, {0x8A, 0x61, 0x3F, 0x0C, 0x92, 0xD4, 0x17, 0xB6}};

struct IInstrumentReconnect : IUnknown {
    virtual HRESULT RequestReconnect() = 0;
};

// One IInstrumentServer that stays the same object while the server behind it is replaced: every
// call goes to the current server object, so whoever holds this pointer (g_pServer, an open
// dialog, a page's timer) reaches the new server after a reconnect. The replaced object is
// released here once; it goes when its last other holder lets it go. It remembers the Session
// calls that passed, so that a new server can be told them again.
class CInstrumentServerForwarder final : public CInstrumentServerDecorator,
                                         public IInstrumentConnection,
                                         public IInstrumentReconnect {
public:
    // Takes a reference of its own on target, which may be null (every call then fails).
    explicit CInstrumentServerForwarder(IInstrumentServer* target);

    // Puts target (a reference of its own again) in place of the current server object.
    using CInstrumentServerDecorator::Replace;

    // Called on RequestReconnect; the reconnect logic sets it.
    void SetReconnectHandler(std::function<void()> handler) { m_onReconnect = std::move(handler); }
    const CSessionCalls& SessionCalls() const { return m_session; }

    // Its own interfaces, the connection interfaces, and anything else the current server
    // object offers.
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // The current server object's connection state; one without that knowledge counts as
    // connected, a missing one as gone.
    HRESULT GetConnectionState(ConnectionState* pState, std::int64_t* pSinceMs) override;
    HRESULT RequestReconnect() override;

private:
    ~CInstrumentServerForwarder() override = default;

    HRESULT Pass(const COperationCall& call) override;

    std::int64_t m_createdMs;
    std::function<void()> m_onReconnect;
    CSessionCalls m_session;
};

// Reset Communications' part in the connection: if server keeps a connection that can be made
// anew, it tries now when the server is gone.
void RequestServerReconnect(IInstrumentServer* server);

#include "instrument_forwarder.h"

#include "hresult.h"

namespace {

// Holds the current server object for the length of one call, so that a replacement made
// meanwhile cannot pull it away under the call.
class CTargetRef {
public:
    explicit CTargetRef(IInstrumentServer* target) : m_pTarget(target) {
        if (m_pTarget != nullptr) {
            m_pTarget->AddRef();
        }
    }
    ~CTargetRef() {
        if (m_pTarget != nullptr) {
            m_pTarget->Release();
        }
    }
    CTargetRef(const CTargetRef&) = delete;
    CTargetRef& operator=(const CTargetRef&) = delete;

    IInstrumentServer* operator->() const { return m_pTarget; }
    explicit operator bool() const { return m_pTarget != nullptr; }

private:
    IInstrumentServer* m_pTarget;
};

} // namespace

CInstrumentServerForwarder::CInstrumentServerForwarder(IInstrumentServer* target)
    : m_createdMs(CConnectionTracker::SystemClock()) {
    Replace(target);
}

CInstrumentServerForwarder::~CInstrumentServerForwarder() {
    Replace(nullptr);
}

void CInstrumentServerForwarder::Replace(IInstrumentServer* target) {
    if (target != nullptr) {
        target->AddRef();
    }
    IInstrumentServer* previous = m_pTarget;
    m_pTarget = target;
    if (previous != nullptr) {
        previous->Release();
    }
}

HRESULT CInstrumentServerForwarder::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IInstrumentConnection) {
        *ppvObject = static_cast<IInstrumentConnection*>(this);
        AddRef();
        return S_OK;
    }
    if (riid == IID_IInstrumentReconnect) {
        *ppvObject = static_cast<IInstrumentReconnect*>(this);
        AddRef();
        return S_OK;
    }
    const HRESULT hr = CInstrumentServerObject::QueryInterface(riid, ppvObject);
    if (hr != E_NOINTERFACE) {
        return hr;
    }
    const CTargetRef target(m_pTarget);
    return target ? target->QueryInterface(riid, ppvObject) : E_NOINTERFACE;
}

ULONG CInstrumentServerForwarder::AddRef() {
    return CInstrumentServerObject::AddRef();
}

ULONG CInstrumentServerForwarder::Release() {
    return CInstrumentServerObject::Release();
}

HRESULT CInstrumentServerForwarder::GetConnectionState(ConnectionState* pState,
                                                       std::int64_t* pSinceMs) {
    if (pState == nullptr || pSinceMs == nullptr) {
        return E_POINTER;
    }
    const CTargetRef target(m_pTarget);
    if (!target) {
        *pState = ConnectionState::ServerGone;
        *pSinceMs = m_createdMs;
        return S_OK;
    }
    IInstrumentConnection* pConnection = nullptr;
    if (FAILED(target->QueryInterface(IID_IInstrumentConnection,
                                      reinterpret_cast<void**>(&pConnection)))) {
        *pState = ConnectionState::Connected;
        *pSinceMs = m_createdMs;
        return S_OK;
    }
    const HRESULT hr = pConnection->GetConnectionState(pState, pSinceMs);
    pConnection->Release();
    return hr;
}

HRESULT CInstrumentServerForwarder::RequestReconnect() {
    if (m_onReconnect) {
        m_onReconnect();
    }
    return S_OK;
}

#define ORVIX_DEFINE_FORWARDER_OPERATION(name, params, args)                                       \
    HRESULT CInstrumentServerForwarder::name params {                                              \
        const CTargetRef target(m_pTarget);                                                        \
        return target ? target->name args : RPC_E_DISCONNECTED;                                    \
    }
#define ORVIX_SKIP_RESERVED(slot)
ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DEFINE_FORWARDER_OPERATION, ORVIX_SKIP_RESERVED)
#undef ORVIX_DEFINE_FORWARDER_OPERATION
#undef ORVIX_SKIP_RESERVED

void RequestServerReconnect(IInstrumentServer* server) {
    IInstrumentReconnect* pReconnect = nullptr;
    if (server == nullptr ||
        FAILED(server->QueryInterface(IID_IInstrumentReconnect,
                                      reinterpret_cast<void**>(&pReconnect)))) {
        return;
    }
    pReconnect->RequestReconnect();
    pReconnect->Release();
}

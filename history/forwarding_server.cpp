#include "forwarding_server.h"

CForwardingInstrumentServer::CForwardingInstrumentServer(IInstrumentServer* inner)
    : m_pInner(inner) {
    m_pInner->AddRef();
}

CForwardingInstrumentServer::~CForwardingInstrumentServer() {
    m_pInner->Release();
}

HRESULT CForwardingInstrumentServer::QueryInterface(REFIID riid, void** ppvObject) {
    const HRESULT hr = CInstrumentServerObject::QueryInterface(riid, ppvObject);
    if (hr != E_NOINTERFACE) {
        return hr;
    }
    return m_pInner->QueryInterface(riid, ppvObject);
}

#define ORVIX_DEFINE_FORWARD(name, params, args)                                                   \
    HRESULT CForwardingInstrumentServer::name params {                                             \
        return m_pInner->name args;                                                                \
    }
#define ORVIX_SKIP_RESERVED(slot)
ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DEFINE_FORWARD, ORVIX_SKIP_RESERVED)
#undef ORVIX_DEFINE_FORWARD
#undef ORVIX_SKIP_RESERVED

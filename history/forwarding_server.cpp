#include "forwarding_server.h"

CForwardingInstrumentServer::CForwardingInstrumentServer(IInstrumentServer* inner)
    : m_pInner(inner) {
    m_pInner->AddRef();
}

CForwardingInstrumentServer::~CForwardingInstrumentServer() {
    m_pInner->Release();
}

HRESULT CForwardingInstrumentServer::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IInstrumentServer) {
        *ppvObject = static_cast<IInstrumentServer*>(this);
        AddRef();
        return S_OK;
    }
    return m_pInner->QueryInterface(riid, ppvObject);
}

ULONG CForwardingInstrumentServer::AddRef() {
    return ++m_refs;
}

ULONG CForwardingInstrumentServer::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0) {
        delete this;
    }
    return refs;
}

HRESULT CForwardingInstrumentServer::GetTypeInfoCount(UINT* pctinfo) {
    return m_pInner->GetTypeInfoCount(pctinfo);
}

HRESULT CForwardingInstrumentServer::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
    return m_pInner->GetTypeInfo(iTInfo, lcid, ppTInfo);
}

HRESULT CForwardingInstrumentServer::GetIDsOfNames(REFIID riid, char16_t** rgszNames, UINT cNames,
                                                   LCID lcid, DISPID* rgDispId) {
    return m_pInner->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
}

HRESULT CForwardingInstrumentServer::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid,
                                            WORD wFlags, DISPPARAMS* pDispParams,
                                            VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                            UINT* puArgErr) {
    return m_pInner->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo,
                            puArgErr);
}

#define ORVIX_DEFINE_FORWARD(name, params, args)                                                   \
    HRESULT CForwardingInstrumentServer::name params {                                             \
        return m_pInner->name args;                                                                \
    }
#define ORVIX_DEFINE_RESERVED_FORWARD(slot)                                                        \
    HRESULT CForwardingInstrumentServer::Reserved##slot() {                                        \
        return m_pInner->Reserved##slot();                                                         \
    }
ORVIX_INSTRUMENT_OPERATIONS(ORVIX_DEFINE_FORWARD, ORVIX_DEFINE_RESERVED_FORWARD)
#undef ORVIX_DEFINE_FORWARD
#undef ORVIX_DEFINE_RESERVED_FORWARD
